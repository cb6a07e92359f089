#!/usr/bin/env python3
"""Ctrl+C acts as the Pause key in console mode: an endless loop stops and the program
exits with status 130 after its dump, also when the Ctrl+C comes during start-up (held back
by a blocked signal mask until the program takes it). Usage: check_interrupt.py PROGRAM"""
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
    results = [check(program, name, text) for name, text in SCRIPTS.items()]
    results.append(check(program, "a Ctrl+C during start-up", SCRIPTS["an endless loop"],
                         at_start=True))
    return max(results)


def block_interrupt():
    signal.pthread_sigmask(signal.SIG_BLOCK, {signal.SIGINT})


def check(program, name, text, at_start=False):
    with tempfile.TemporaryDirectory(prefix="tressaly-interrupt-") as home:
        script = os.path.join(home, "forever.txt")
        with open(script, "w") as f:
            f.write(text)
        env = dict(os.environ, TRESSALY_HOME=home)
        run = subprocess.Popen([program, "--console", "--dump", script], env=env,
                               stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                               stdin=subprocess.DEVNULL,
                               preexec_fn=block_interrupt if at_start else None)
        if not at_start:
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
