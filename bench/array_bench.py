#!/usr/bin/env python3
"""Array benchmark: Array_Sort (a float and a string table) and Array_Filter on a million rows
in Tressaly's console mode, against the same sorts and filter in python3 measured in the same
invocation. The script fills its arrays with a FOR loop; it is also run without the lines after
the loop, and the difference of the two runs is the time of the array functions. Prints both
times and their ratio (lower is better)."""
import os
import subprocess
import sys
import tempfile
import time

from bench_common import best_of

HERE = os.path.dirname(os.path.abspath(__file__))
PROGRAM = os.path.join(HERE, "..", "build", "tressaly")
SCRIPT = os.path.join(HERE, "array_sort.txt")
ROWS = 1_000_000
# The lines that use the functions under test, and the values the script must end with.
MEASURED = ("Array_Sort", "Array_Filter", "_SORTED", "_KEPT")
EXPECTED = {"smallest": "1", "largest": "999999", "kept": "3999"}


def key_of(i):
    return i * 7919 % 1000003


def python_work(numbers, texts):
    by_number = sorted(numbers, key=lambda row: row[0])
    by_text = sorted(texts, key=lambda row: row[0])[::-1]  # stable ascending, then reversed
    kept = [row for row in texts if "123" in row[0].upper()]
    return by_number[0][0], by_text[0][0], len(kept)


def run_tressaly(script, home, dump=False):
    args = [PROGRAM, "--console"] + (["--dump"] if dump else []) + [script]
    done = subprocess.run(args, check=True, env=dict(os.environ, TRESSALY_HOME=home),
                          stdout=subprocess.PIPE, text=True)
    return done.stdout


def check_results(dump):
    values = {}
    for line in dump.splitlines():
        name, _, value = line.partition("\t")
        values[name] = value.strip().strip("\u25cf")
    for name, expected in EXPECTED.items():
        if values.get(name) != expected:
            sys.exit(f"unexpected {name}: {values.get(name)!r} (expected {expected})")


def main():
    runs = int(sys.argv[1]) if len(sys.argv) > 1 else 2
    home = tempfile.mkdtemp(prefix="tressaly-bench-")
    with open(SCRIPT, encoding="utf-8") as f:
        lines = f.read().splitlines()
    reference = os.path.join(home, "array_fill.txt")
    with open(reference, "w", encoding="utf-8") as f:
        f.write("\n".join(l for l in lines if not any(m in l for m in MEASURED)) + "\n")

    check_results(run_tressaly(SCRIPT, home, dump=True))
    whole = best_of(runs, lambda: run_tressaly(SCRIPT, home))
    fill = best_of(runs, lambda: run_tressaly(reference, home))
    functions = max(whole - fill, 1e-9)

    numbers = [(float(key_of(i)), float(i)) for i in range(1, ROWS + 1)]
    texts = [(str(key_of(i)), str(i)) for i in range(1, ROWS + 1)]
    expected = (1.0, "999999", 3999)
    if python_work(numbers, texts) != expected:
        sys.exit("python3 results differ from the script's")
    python = best_of(runs, lambda: python_work(numbers, texts))

    print(f"tressaly run with sort/filter: {whole:.3f} s, without: {fill:.3f} s")
    print(f"tressaly Array_Sort x2 + Array_Filter on {ROWS} rows: {functions:.3f} s")
    print(f"python3 sorted x2 + filter:    {python:.3f} s")
    print(f"ratio tressaly/python3: {functions / python:.2f}")


if __name__ == "__main__":
    main()
