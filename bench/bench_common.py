"""Shared pieces of the benchmarks."""
import os
import subprocess
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
PROGRAM = os.path.join(HERE, "..", "build", "tressaly")


def best_of(runs, action):
    """The shortest of `runs` timings of action(), in seconds."""
    best = float("inf")
    for _ in range(runs):
        start = time.perf_counter()
        action()
        best = min(best, time.perf_counter() - start)
    return best


def run_console(script):
    """Runs a script in console mode with a fresh program folder."""
    env = dict(os.environ, TRESSALY_HOME=tempfile.mkdtemp(prefix="tressaly-bench-"))
    subprocess.run([PROGRAM, "--console", script], check=True, env=env, stdout=subprocess.DEVNULL)


def run_window(script):
    """Seconds from start to close of the window running a script with /R."""
    env = dict(os.environ, TRESSALY_HOME=tempfile.mkdtemp(prefix="tressaly-bench-"))
    start = time.perf_counter()
    subprocess.run([PROGRAM, script, "/R"], check=True, env=env, timeout=120,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.perf_counter() - start


def window_run_time(script, runs):
    """A script's time in the window: the whole run less that of a trivial script (start-up,
    the 500 ms before an unattended run and the 2 s before the window closes)."""
    with tempfile.TemporaryDirectory(prefix="tressaly-trivial-") as folder:
        trivial = os.path.join(folder, "trivial.txt")
        with open(trivial, "w") as f:
            f.write("x = 0\nstop\n")
        timed = min(run_window(script) for _ in range(runs))
        base = min(run_window(trivial) for _ in range(runs))
    return timed - base
