#!/usr/bin/env python3
"""Loop benchmark: a million passes of `x = x + i * 2` in Tressaly's console mode, against
the same loop in python3 measured in the same invocation. Prints executed lines per second
and the ratio of the two times (lower is better)."""
import os
import subprocess
import sys
import tempfile
import time

from bench_common import best_of

HERE = os.path.dirname(os.path.abspath(__file__))
PROGRAM = os.path.join(HERE, "..", "build", "tressaly")
SCRIPT = os.path.join(HERE, "loop.txt")
PASSES = 1_000_000
EXECUTED_LINES = PASSES + 2  # x = 0, the FOR line, then the body once per pass


def python_loop():
    x = 0
    for i in range(1, PASSES + 1):
        x = x + i * 2
    return x


def run_tressaly():
    env = dict(os.environ, TRESSALY_HOME=tempfile.mkdtemp(prefix="tressaly-bench-"))
    subprocess.run([PROGRAM, "--console", SCRIPT], check=True, env=env,
                   stdout=subprocess.DEVNULL)


def main():
    runs = int(sys.argv[1]) if len(sys.argv) > 1 else 3
    startup = best_of(runs, lambda: subprocess.run(
        [sys.executable, "-c", "pass"], check=True))
    tressaly = best_of(runs, run_tressaly)
    python = best_of(runs, python_loop)
    print(f"tressaly console: {tressaly:.3f} s, {EXECUTED_LINES / tressaly / 1e6:.2f} M lines/s")
    print(f"python3 loop:     {python:.3f} s (interpreter start-up {startup:.3f} s not counted)")
    print(f"ratio tressaly/python3: {tressaly / python:.2f}")


if __name__ == "__main__":
    main()
