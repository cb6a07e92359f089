#!/usr/bin/env python3
"""Ctrl+C acts as the Pause key in console mode: an endless loop stops and the program
exits with status 130. Usage: check_interrupt.py PROGRAM"""
import os
import signal
import subprocess
import sys
import tempfile
import time


SCRIPTS = {
    "an endless loop": "n = 0\nREPEAT\n  n = n + 1\n",
    "an endless JavaScript evaluation": "n = 0\nx = Eval('while (true) {}')\n",
}


def main():
    program = sys.argv[1]
    return max(check(program, name, text) for name, text in SCRIPTS.items())


def check(program, name, text):
    with tempfile.TemporaryDirectory(prefix="tressaly-interrupt-") as home:
        script = os.path.join(home, "forever.txt")
        with open(script, "w") as f:
            f.write(text)
        env = dict(os.environ, TRESSALY_HOME=home)
        run = subprocess.Popen([program, "--console", "--dump", script], env=env,
                               stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                               stdin=subprocess.DEVNULL)
        time.sleep(0.5)
        run.send_signal(signal.SIGINT)
        try:
            out, err = run.communicate(timeout=10)
        except subprocess.TimeoutExpired:
            run.kill()
            print(f"{name}: the run did not stop after Ctrl+C")
            return 1
    if run.returncode != 130:
        print(f"{name}: exit status {run.returncode}, expected 130; stderr: {err.decode()}")
        return 1
    if b"n\t" not in out:
        print(f"{name}: the dump after the interrupted run is missing")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
