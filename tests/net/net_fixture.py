"""What the network tests share: loopback addresses only, servers started and stopped by the
test itself, and scripts run through console mode with the addresses pinned to loopback."""
import os
import sys
import socket
import subprocess
import tempfile
import time
sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from checks import Checks  # noqa: E402  (shared with the other script-driven tests)

# The program's own address and broadcast address: a test can never send past loopback.
PINNED_ADDRESSES = {"TRESSALY_LOCAL_IPV4": "127.0.0.1", "TRESSALY_BROADCAST": "127.255.255.255"}
SOURCE_DIR = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SIMULATOR = os.path.join(SOURCE_DIR, "tools", "board_simulator.py")


def free_port(kind=socket.SOCK_DGRAM, addresses=("127.0.0.1",)):
    """A port number free for `kind` on every one of `addresses`."""
    while True:
        with socket.socket(socket.AF_INET, kind) as s:
            s.bind((addresses[0], 0))
            port = s.getsockname()[1]
        try:
            for address in addresses:
                with socket.socket(socket.AF_INET, kind) as s:
                    s.bind((address, port))
            return port
        except OSError:
            continue


class Servers:
    """Processes started for one test, stopped (by their own ids) when it ends."""

    def __init__(self):
        self.processes = []

    def start(self, command, ready_line=None, ready_port=None):
        p = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        self.processes.append(p)
        if ready_line:
            line = p.stdout.readline().decode().strip()
            if line != ready_line:
                raise RuntimeError(f"{command[0:3]} did not start: {line!r}")
        if ready_port:
            wait_for_tcp(ready_port)
        return p

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        for p in self.processes:
            if p.poll() is None:
                p.terminate()
                try:
                    p.wait(5)
                except subprocess.TimeoutExpired:
                    p.kill()
                    p.wait()
            p.stdout.close()


def wait_for_tcp(port, seconds=10):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            socket.create_connection(("127.0.0.1", port), 0.2).close()
            return
        except OSError:
            time.sleep(0.05)
    raise RuntimeError(f"nothing listens on 127.0.0.1:{port}")


def console_env(home, lang="C"):
    env = {"TRESSALY_HOME": home, "LANG": lang, "PATH": "/usr/bin:/bin"}
    env.update(PINNED_ADDRESSES)
    return env


def run_script(program, home, script, answers="", timeout=60):
    """Runs `script` in console mode with --dump; (exit status, dump values, stdout, stderr)."""
    path = os.path.join(home, "script.txt")
    with open(path, "w", encoding="utf-8") as f:
        f.write(script)
    done = subprocess.run([program, "--console", "--dump", path], input=answers.encode(),
                          env=console_env(home), capture_output=True, timeout=timeout)
    stdout = done.stdout.decode()
    return done.returncode, dump_values(stdout), stdout, done.stderr.decode()


def dump_values(stdout):
    values = {}
    for line in stdout.splitlines():
        name, tab, value = line.partition("\t")
        if tab:
            values[name] = value
    return values


def temporary_home(prefix):
    return tempfile.TemporaryDirectory(prefix=prefix)
