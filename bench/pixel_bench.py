#!/usr/bin/env python3
"""Pixel benchmark: 100,000 PixelWrite calls run in the window (started with /R, Fast display)
against the same script in console mode, in the same invocation. The window must not repaint
per primitive, so the ratio window/console stays near 1. Starts itself under xvfb-run when no
display is set."""
import os
import shutil
import sys
import tempfile

from bench_common import best_of, run_console, window_run_time

HERE = os.path.dirname(os.path.abspath(__file__))
SCRIPT = os.path.join(HERE, "pixels.txt")


def console_time(runs):
    """The script's console time less that of a trivial script (start-up)."""
    with tempfile.TemporaryDirectory(prefix="tressaly-trivial-") as folder:
        trivial = os.path.join(folder, "trivial.txt")
        with open(trivial, "w") as f:
            f.write("x = 0\nstop\n")
        return best_of(runs, lambda: run_console(SCRIPT)) - best_of(runs, lambda: run_console(trivial))


def main():
    if not os.environ.get("DISPLAY") and shutil.which("xvfb-run"):
        os.execvp("xvfb-run", ["xvfb-run", "-a", sys.executable] + sys.argv)
    runs = int(sys.argv[1]) if len(sys.argv) > 1 and sys.argv[1].isdigit() else 3
    console = console_time(runs)
    window = window_run_time(SCRIPT, runs)
    print(f"tressaly console, 100000 PixelWrite: {console:.3f} s")
    print(f"tressaly window (Fast display):      {window:.3f} s")
    print(f"ratio window/console: {window / console:.2f}")


if __name__ == "__main__":
    main()
