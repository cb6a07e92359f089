#!/usr/bin/env python3
"""The serial-port command in console mode through a socat pseudo-terminal pair: the simulated
board on one end, the other end mapped to COM3 in section [ComPorts] of the settings file.
Requests and replies (a Cyrillic parameter comes back intact), the port's speed (28800 opens at
9600), a port that does not open, and messages 354 and 357. Usage: check_serial.py PROGRAM"""
import os
import subprocess
import sys
import termios
import time

from net_fixture import Checks, SIMULATOR, Servers, console_env, free_port, run_script, temporary_home

SCRIPT = """echo = ARD_COM_Port_Command(3, 115200, 'echo', 1000, 'x', 'яб')
echoSender = sender
sum = ARD_COM_Port_Command(3, 28800, 'add', 1000, 2, 5)
closed = ARD_COM_Port_Command(5, 9600, 'add', 0, 1)
closedSender = sender
"""

ERRORS = [
    ("r = ARD_COM_Port_Command(2, 115200, 'x')", 'The port number "2" is out of range (3-256).'),
    ("r = ARD_COM_Port_Command(257, 115200, 'x')", 'The port number "257" is out of range (3-256).'),
    ("r = ARD_COM_Port_Command(3, 12345, 'x')", '"12345" - invalid baud rate.'),
    ("r = ARD_COM_Port_Command(3, 0, 'x')", '"0" - invalid baud rate.'),
]

SPEEDS = {termios.B9600: 9600, termios.B115200: 115200}


def wait_for(path, seconds=10):
    deadline = time.monotonic() + seconds
    while not os.path.exists(path):
        if time.monotonic() > deadline:
            raise RuntimeError(f"{path} did not appear")
        time.sleep(0.05)


def speeds_while_open(program, home, rate):
    """The speeds COM3's line had while a command at `rate` ran (it stays open 1.5 s for the
    board's reset); None when the line could never be looked at."""
    with open(f"{home}/speed.txt", "w", encoding="utf-8") as f:
        f.write(f"r = ARD_COM_Port_Command(3, {rate}, 'echo', 0)\n")
    p = subprocess.Popen([program, "--console", f"{home}/speed.txt"], env=console_env(home),
                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    seen = None
    while p.poll() is None:
        try:
            fd = os.open(f"{home}/com3", os.O_RDONLY | os.O_NOCTTY | os.O_NONBLOCK)
            try:
                seen = (seen or set()) | {SPEEDS.get(termios.tcgetattr(fd)[5])}
            finally:
                os.close(fd)
        except OSError:
            pass  # held exclusively (when we are not root)
        time.sleep(0.05)
    return seen


def main():
    program = sys.argv[1]
    checks = Checks()
    with temporary_home("tressaly-serial-") as home, Servers() as servers:
        # The program's end ignores the end of file its closing causes, so the pair outlives each call.
        servers.start(["socat", f"pty,raw,echo=0,link={home}/board", f"pty,raw,echo=0,ignoreeof,link={home}/com3"])
        wait_for(f"{home}/board")
        wait_for(f"{home}/com3")
        log = f"{home}/requests.txt"
        servers.start([sys.executable, SIMULATOR, "--address", "127.0.0.2", "--port", str(free_port(addresses=("127.0.0.2",))),
                       "--serial", f"{home}/board", "--log", log], ready_line="ready")
        with open(f"{home}/tressaly.ini", "w", encoding="utf-8") as f:
            f.write(f"[ComPorts]\r\ncom3={home}/com3\r\nCOM5={home}/missing\r\n")

        status, values, _, stderr = run_script(program, home, SCRIPT)
        checks.equal("exit", (status, stderr), (0, ""))
        checks.equal("echo", values.get("echo"), "●x,яб●")
        checks.equal("sender", values.get("echoSender"), "●NodeMCU_01●")
        checks.equal("sum", values.get("sum"), "●7●")
        checks.equal("port that does not open", (values.get("closed"), values.get("closedSender")), ("●●", "●●"))
        with open(log, encoding="utf-8") as f:
            checks.equal("requests", f.read().splitlines(), ["echo:x;яб;", "add:2;5;"])

        for rate, expected in ((28800, 9600), (115200, 115200)):
            speeds = speeds_while_open(program, home, rate)
            if speeds is None:
                print(f"notice: the line's speed at {rate} could not be read (port held exclusively)")
            else:
                checks.true(f"speed of the line at {rate}:", expected in speeds, f"saw {speeds}")

        for script, message in ERRORS:
            status, _, _, stderr = run_script(program, home, script + "\n")
            checks.true(f"{script!r}:", status == 1 and message in stderr, f"exit {status}, stderr {stderr!r}")
    return checks.report()


if __name__ == "__main__":
    sys.exit(main())
