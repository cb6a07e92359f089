#!/usr/bin/env python3
"""A run that ends for want of memory still gets its whole dump: a script doubles a string
until memory (limited for the run to 512 MB of address space) runs out; the program must exit
with status 1 (not abort), and the dump must hold every row, the big string's cell either in
full or as the out-of-memory text. Usage: check_out_of_memory.py PROGRAM"""
import os
import resource
import subprocess
import sys
import tempfile

SCRIPT = "a = 1\ns = 'x'\nFOR i = 1,40\n  s = s + s\n"
LIMIT = 512 * 1024 * 1024
NOTE = "! There was not enough memory to complete the operation."


def limit_memory():
    resource.setrlimit(resource.RLIMIT_AS, (LIMIT, LIMIT))


def main():
    program = sys.argv[1]
    with tempfile.TemporaryDirectory(prefix="tressaly-memory-") as home:
        script = os.path.join(home, "big.txt")
        with open(script, "w") as f:
            f.write(SCRIPT)
        env = dict(os.environ, TRESSALY_HOME=home, LANG="C", LC_ALL="")
        # The dump goes to a file: a cell that could be made is hundreds of megabytes long.
        with open(os.path.join(home, "dump"), "w+b") as out:
            run = subprocess.run([program, "--console", "--dump", script], env=env,
                                 stdout=out, stderr=subprocess.PIPE, stdin=subprocess.DEVNULL,
                                 preexec_fn=limit_memory, timeout=120)
            out.seek(0)
            rows = [line[:len(NOTE) + 8].decode("utf-8", "replace") for line in out]
    failures = []
    if run.returncode != 1:
        failures.append(f"exit status {run.returncode}, expected 1")
    names = [row.split("\t")[0] for row in rows]
    if names != ["a", "i", "s", "cmdLineParams[]"]:
        failures.append(f"dump rows {names}")
    cell = rows[2].split("\t", 1)[1] if len(rows) > 2 else ""
    if not (cell.startswith("\u25cfxxxx") or cell.rstrip("\n") == NOTE):
        failures.append(f"the string's cell begins {cell!r}")
    if b"Out of memory." not in run.stderr:
        failures.append(f"stderr: {run.stderr[:300]!r}")
    for f in failures:
        print(f"out of memory: {f}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
