#!/usr/bin/env python3
"""Side-by-side benchmark: each workload of suite/ written in Tressaly's script language, in
python3 and in lua5.4. Every program prints (or, for Tressaly, leaves in `result`) the same
value; the three values are checked to agree, then the CPU time of each (best of 5, start-up
of an empty program subtracted; python3 and lua5.4 run larger sizes, their times are scaled to
Tressaly's size) and the ratios tressaly/python3 and tressaly/lua5.4 are printed with their
geometric means.

  suite_bench.py [RUNS]      measure (RUNS timings each, 5 by default: CPU times vary by
                             a third from run to run on a shared machine)
  suite_bench.py --check     small sizes, only check that the three results agree (exit 1 if not)
  --program PATH             the tressaly program to run (build/tressaly by default)
"""
import math
import os
import resource
import shutil
import subprocess
import sys
import tempfile

import bench_common

HERE = os.path.dirname(os.path.abspath(__file__))
SUITE = os.path.join(HERE, "suite")


def fib_calls(n):
    """The number of calls fib(n) makes."""
    a, b = 0, 1
    for _ in range(n + 1):
        a, b = b, a + b
    return 2 * a - 1


# name, what it measures, size for the timing in Tressaly, in python3 and lua5.4 (larger, so that
# their times stand well above the start-up), size for --check, the work a size stands for
# (the times are compared per unit of work).
WORKLOADS = [
    ("int_loop", "integer loop, 3 lines per pass", 2_000_000, 10_000_000, 2_000, None),
    ("float_loop", "float loop with sqrt and sin", 300_000, 3_000_000, 500, None),
    ("strings", "string building with LenStr/Pos/SubStr", 100_000, 100_000, 500, None),
    ("calls", "recursive script function (fib)", 27, 32, 10, fib_calls),
    ("arrays", "1-D and 2-D array element reads and writes", 1_000_000, 3_000_000, 1_000, None),
    ("branches", "IF/ELSE with REPEAT/BREAKIF", 2_000_000, 6_000_000, 2_000, None),
    ("sort", "built-in sort (with the loop that fills it)", 300_000, 300_000, 1_000, None),
]
LUA = "lua5.4"
# Without the site packages python3 starts in a steady few milliseconds.
PYTHON_FLAGS = ["-S", "-E"]


def child_cpu_seconds(command, env=None):
    """Runs a command; returns its CPU time (user + system) and its standard output."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    done = subprocess.run(command, check=True, env=env, stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE, text=True)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    return cpu, done.stdout


class Languages:
    """How each language runs a program of the suite with a size, and reads its result."""

    def __init__(self, folder):
        self.folder = folder
        self.env = dict(os.environ, TRESSALY_HOME=tempfile.mkdtemp(prefix="tressaly-home-", dir=folder))

    def tressaly(self, name, size):
        with open(os.path.join(SUITE, name + ".txt")) as f:
            text = f.read().replace("@N@", str(size))
        script = os.path.join(self.folder, f"{name}_{size}.txt")
        with open(script, "w") as f:
            f.write(text)
        return self.run_tressaly(script)

    def run_tressaly(self, script):
        cpu, out = child_cpu_seconds([bench_common.PROGRAM, "--console", "--dump", script], self.env)
        for line in out.splitlines():
            variable, _, value = line.partition("\t")
            if variable == "result":
                return cpu, value.strip().strip("\u25cf")
        return cpu, None

    def python(self, name, size):
        script = os.path.join(SUITE, name + ".py")
        cpu, out = child_cpu_seconds([sys.executable, *PYTHON_FLAGS, script, str(size)])
        return cpu, out.strip()

    def lua(self, name, size):
        cpu, out = child_cpu_seconds([LUA, os.path.join(SUITE, name + ".lua"), str(size)])
        return cpu, out.strip()

    def startup(self):
        """CPU time of an empty program in each language (python3 as the workloads run it), and
        of a plain `python3 -c pass`, the start-up goal's reference."""
        empty = os.path.join(self.folder, "empty.txt")
        with open(empty, "w") as f:
            f.write("result = 0\n")
        return (self.run_tressaly(empty)[0],
                child_cpu_seconds([sys.executable, *PYTHON_FLAGS, "-c", "pass"])[0],
                child_cpu_seconds([LUA, "-e", ""])[0],
                child_cpu_seconds([sys.executable, "-c", "pass"])[0])


def same_value(a, b):
    """Equal texts, or equal numbers."""
    if a == b:
        return True
    try:
        x, y = float(a), float(b)
    except (TypeError, ValueError):
        return False
    return math.isclose(x, y, rel_tol=1e-12, abs_tol=1e-12)


def check(languages, check_only):
    """Runs each workload once in the three languages; returns the failures."""
    failures = []
    for name, _, size, _, small, _ in WORKLOADS:
        size = small if check_only else size
        values = [run(name, size)[1] for run in (languages.tressaly, languages.python, languages.lua)]
        if not (same_value(values[0], values[1]) and same_value(values[0], values[2])):
            failures.append(f"{name}: tressaly {values[0]!r}, python3 {values[1]!r}, lua5.4 {values[2]!r}")
    return failures


def best_cpu(runs, action):
    return min(action()[0] for _ in range(runs))


def measure(languages, runs):
    base = [min(times) for times in zip(*(languages.startup() for _ in range(runs)))]
    print(f"start-up (CPU s): tressaly {base[0]:.3f}, python3 -S -E {base[1]:.3f}, lua5.4 {base[2]:.3f},"
          f" python3 -c pass {base[3]:.3f}  (tressaly/python3 -c pass {base[0] / base[3]:.1f})")
    print(f"{'workload':<46} {'tressaly':>9} {'python3':>9} {'lua5.4':>9} {'/python3':>9} {'/lua5.4':>9}")
    python_ratios, lua_ratios = [], []
    for name, title, size, fast_size, _, work in WORKLOADS:
        work = work or (lambda n: n)
        runners = ((languages.tressaly, size), (languages.python, fast_size), (languages.lua, fast_size))
        times = [max(best_cpu(runs, lambda: run(name, n)) - start, 1e-3) * work(size) / work(n)
                 for (run, n), start in zip(runners, base)]
        python_ratios.append(times[0] / times[1])
        lua_ratios.append(times[0] / times[2])
        print(f"{title:<46} {times[0]:>9.3f} {times[1]:>9.3f} {times[2]:>9.3f}"
              f" {python_ratios[-1]:>9.1f} {lua_ratios[-1]:>9.1f}")
    geometric = lambda values: math.exp(sum(map(math.log, values)) / len(values))
    print(f"{'geometric mean':<76} {geometric(python_ratios):>9.1f} {geometric(lua_ratios):>9.1f}")


def main():
    args = sys.argv[1:]
    if "--program" in args:
        at = args.index("--program")
        bench_common.PROGRAM = args[at + 1]
        del args[at:at + 2]
    check_only = "--check" in args
    numbers = [a for a in args if a.isdigit()]
    runs = int(numbers[0]) if numbers else 5
    if not shutil.which(LUA):
        sys.exit(f"{LUA} is missing (scripts/deps.sh installs it)")
    with tempfile.TemporaryDirectory(prefix="tressaly-suite-") as folder:
        languages = Languages(folder)
        failures = check(languages, check_only)
        if failures:
            print("results differ:\n  " + "\n  ".join(failures))
            sys.exit(1)
        print("all results agree")
        if not check_only:
            measure(languages, runs)


if __name__ == "__main__":
    main()
