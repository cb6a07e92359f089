#!/usr/bin/env python3
"""Loop benchmark: a million passes of `x = x + i * 2` in Tressaly's console mode, against
the same loop in python3 measured in the same invocation. Prints executed lines per second
and the ratio of the two times (lower is better). With a display (or under xvfb-run, which
the script starts by itself when it finds one), it also runs the loop inside the window
(started with /R, Fast display) and prints the window's time against the console's."""
import shutil
import os
import subprocess
import sys
import tempfile
import time

from bench_common import best_of, run_console, window_run_time

HERE = os.path.dirname(os.path.abspath(__file__))
SCRIPT = os.path.join(HERE, "loop.txt")
PASSES = 1_000_000
EXECUTED_LINES = PASSES + 2  # x = 0, the FOR line, then the body once per pass


def python_loop():
    x = 0
    for i in range(1, PASSES + 1):
        x = x + i * 2
    return x


def run_tressaly():
    run_console(SCRIPT)


def main():
    if not os.environ.get("DISPLAY") and shutil.which("xvfb-run") and "--no-window" not in sys.argv:
        os.execvp("xvfb-run", ["xvfb-run", "-a", sys.executable] + sys.argv)
    runs = int(sys.argv[1]) if len(sys.argv) > 1 and sys.argv[1].isdigit() else 3
    startup = best_of(runs, lambda: subprocess.run(
        [sys.executable, "-c", "pass"], check=True))
    tressaly = best_of(runs, run_tressaly)
    python = best_of(runs, python_loop)
    print(f"tressaly console: {tressaly:.3f} s, {EXECUTED_LINES / tressaly / 1e6:.2f} M lines/s")
    print(f"python3 loop:     {python:.3f} s (interpreter start-up {startup:.3f} s not counted)")
    print(f"ratio tressaly/python3: {tressaly / python:.2f}")
    if os.environ.get("DISPLAY") and "--no-window" not in sys.argv:
        window = window_run_time(SCRIPT, runs)
        print(f"tressaly window (Fast display): {window:.3f} s")
        print(f"ratio window/console: {window / tressaly:.2f}")


if __name__ == "__main__":
    main()
