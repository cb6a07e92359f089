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


def run_window(script):
    """Seconds from start to close of the window running a script with /R."""
    env = dict(os.environ, TRESSALY_HOME=tempfile.mkdtemp(prefix="tressaly-bench-"))
    start = time.perf_counter()
    subprocess.run([PROGRAM, script, "/R"], check=True, env=env, timeout=120,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.perf_counter() - start


def window_run_time(runs):
    """The loop's time in the window: the whole run less that of a trivial script (start-up,
    the 500 ms before an unattended run and the 2 s before the window closes)."""
    with tempfile.TemporaryDirectory(prefix="tressaly-trivial-") as folder:
        trivial = os.path.join(folder, "trivial.txt")
        with open(trivial, "w") as f:
            f.write("x = 0\nstop\n")
        loop = min(run_window(SCRIPT) for _ in range(runs))
        base = min(run_window(trivial) for _ in range(runs))
    return loop - base


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
        window = window_run_time(runs)
        print(f"tressaly window (Fast display): {window:.3f} s")
        print(f"ratio window/console: {window / tressaly:.2f}")


if __name__ == "__main__":
    main()
