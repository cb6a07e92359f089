#!/usr/bin/env python3
"""UDP and the board functions in console mode against two simulated boards on 127.0.0.2 and
127.0.0.3 (the board port is also the program's own port on 127.0.0.1), with the program's
addresses pinned to loopback: the request texts, the replies and "sender", analog series,
commands with parameters, a broadcast answered by both boards, no reply, the UDP listener's
buffer, the errors (message 350 on a machine without a network), and examples/boards.txt. Usage: check_boards.py PROGRAM"""
import subprocess
import sys

from net_fixture import (SOURCE_DIR, Checks, SIMULATOR, Servers, console_env, dump_values, free_port, run_script,
                         temporary_home)

SCRIPT = """ok = ARD_UDP_Set_Port({port})
d14 = ARD_UDP_Digital_Read('127.0.0.2', 14)
readSender = sender
ARD_UDP_Digital_Write('127.0.0.2', 2, 1)
d2 = ARD_UDP_Digital_Read('127.0.0.2', 2)
ARD_UDP_Analog_Write('127.0.0.2', 5, 777)
a5 = ARD_UDP_Analog_Read('127.0.0.2', 5)
a0 = ARD_UDP_Analog_Read('127.0.0.2', 0)
series = ARD_UDP_Analog_Read('127.0.0.2', 1, 4, 1000)
sum = ARD_UDP_Command('127.0.0.2', 'add', 500, 2, 3)
echo = ARD_UDP_Command('127.0.0.3', 'echo', 0, 'a b', 7)
noIp = ARD_UDP_Command('', 'x')
name = ARD_UDP_Get_Device_Name('127.0.0.3', 100)
nameSender = sender
boards = ARD_UDP_Broadcast_Command('ping', 300)
nobody = ARD_UDP_Get_Device_Name('127.0.0.9')
nobodySender = sender
ip = UDP_Activate({own})
again = UDP_Activate({own})
UDP_Send('127.0.0.2', {port}, 'echo:ab;')
UDP_Send('127.0.0.2', {port}, 'echo:cd;')
Sleep(0.5)
both = UDP_Read()
empty = UDP_Read()
off = UDP_Deactivate(1)
"""

EXPECTED = {
    "ok": "<True>", "d14": "●0●", "readSender": "●NodeMCU_01●", "d2": "●1●", "a5": "●777●",
    "a0": "●0●", "series[]": "(100,101,102,103)", "sum": "●5●", "echo": "●a b,7●",
    "noIp": "●●", "name": "●Board_B●", "nameSender": "●Board_B●", "nobody": "●●",
    "nobodySender": "●●", "ip": "●127.0.0.1●", "again": "●127.0.0.1●",
    "both": "●<<<NodeMCU_01=ab>>><<<NodeMCU_01=cd>>>●", "empty": "●●", "off": "<false>",
}

REQUESTS = ["digital_read:14;", "digital_write:2;1;", "digital_read:2;", "analog_write:5;777;",
            "analog_read:5;0;0;", "analog_read:0;0;0;", "analog_read:1;4;1000;", "add:2;3;", "ping:",
            "echo:ab;", "echo:cd;"]

ERRORS = [
    ("a = ARD_UDP_Analog_Read('', 1)", "IP address not specified."),
    ("ok = ARD_UDP_Set_Port({port})\na = ARD_UDP_Analog_Read('127.0.0.2', 9, 3, 10)",
     "String to integer conversion error (2x)."),
    ("ok = ARD_UDP_Set_Port(70000)", "The port number 70000 is out of range (0-65535)."),
    ("ip = UDP_Activate(-1)", "The port number -1 is out of range (0-65535)."),
]


def check_without_network(program, checks, home):
    """The address rule on a machine whose only interface is loopback: a network namespace of
    the test's own (needs root; skipped with a notice elsewhere). Nothing can leave it, so the
    program's address is left to the rule here."""
    with open(f"{home}/no_network.txt", "w", encoding="utf-8") as f:
        f.write(f"ip = UDP_Activate({free_port()})\nok = ARD_UDP_Set_Port({free_port()})\n")
    env = console_env(home)
    del env["TRESSALY_LOCAL_IPV4"]
    if subprocess.run(["unshare", "-n", "true"], capture_output=True).returncode != 0:
        print("notice: no network namespace (needs root); the address rule without a network is not checked")
        return
    done = subprocess.run(["unshare", "-n", program, "--console", "--dump", f"{home}/no_network.txt"], env=env,
                          capture_output=True, timeout=60)
    values = dump_values(done.stdout.decode())
    checks.equal("without a network", (done.returncode, values.get("ip"), done.stderr.decode().splitlines()[:1]),
                 (1, "●●", ["Local network not found."]))


def main():
    program = sys.argv[1]
    checks = Checks()
    port = free_port(addresses=("127.0.0.1", "127.0.0.2", "127.0.0.3"))
    own = free_port()
    with temporary_home("tressaly-boards-") as home, Servers() as servers:
        log = f"{home}/requests.txt"
        for address, name, extra in (("127.0.0.2", "NodeMCU_01", ["--log", log, "--bad-analog-pin", "9"]),
                                     ("127.0.0.3", "Board_B", [])):
            servers.start([sys.executable, SIMULATOR, "--address", address, "--port", str(port), "--name", name,
                           "--broadcast", "127.255.255.255"] + extra, ready_line="ready")
        status, values, stdout, stderr = run_script(program, home, SCRIPT.format(port=port, own=own))
        checks.equal("exit status", status, 0)
        checks.equal("stderr", stderr, "")
        for name, value in EXPECTED.items():
            checks.equal(name, values.get(name), value)
        # Both boards answered the broadcast within its delay (the wait that follows ends at the
        # first datagram, so without a delay a slower board may miss it); in either order.
        checks.true("broadcast", values.get("boards[]") in ("(('NodeMCU_01','127.0.0.2')('Board_B','127.0.0.3'))",
                                                            "(('Board_B','127.0.0.3')('NodeMCU_01','127.0.0.2'))"),
                    repr(values.get("boards[]")))
        with open(log, encoding="utf-8") as f:
            checks.equal("requests to the first board", f.read().splitlines(), REQUESTS)

        example = subprocess.run([program, "--console", "--dump", "examples/boards.txt", "127.0.0.2", str(port)],
                                 cwd=SOURCE_DIR, env=console_env(home), capture_output=True, timeout=60)
        values = dump_values(example.stdout.decode())
        checks.equal("example", (example.returncode, values.get("name"), values.get("mean"), values.get("answer")),
                     (0, "●NodeMCU_01●", "   102", "●42●"))

        for script, message in ERRORS:
            status, _, _, stderr = run_script(program, home, script.format(port=port) + "\n")
            checks.true(f"{script!r}:", status == 1 and message in stderr, f"exit {status}, stderr {stderr!r}")
        check_without_network(program, checks, home)
    return checks.report()


if __name__ == "__main__":
    sys.exit(main())
