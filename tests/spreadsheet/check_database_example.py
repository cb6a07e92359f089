#!/usr/bin/env python3
"""examples/database.txt in console mode: the shop database read, written into a new spreadsheet
with formulas, saved as shop.xlsx. Usage: check_database_example.py PROGRAM SOURCE_DIR"""
import os
import shutil
import subprocess
import sys
import tempfile


def main():
    program, source = sys.argv[1:3]
    with tempfile.TemporaryDirectory(prefix="tressaly-database-example-") as home:
        os.makedirs(os.path.join(home, "Scripts"))
        shutil.copy(os.path.join(source, "examples", "shop.db"), os.path.join(home, "Scripts"))
        env = dict(os.environ, TRESSALY_HOME=home, LANG="C", LC_ALL="", DISPLAY="")
        done = subprocess.run([program, "--console", "--dump", os.path.join(source, "examples", "database.txt")],
                              cwd=home, env=env, capture_output=True, timeout=180, stdin=subprocess.DEVNULL)
        out = done.stdout.decode("utf-8", "replace")
        failures = []
        if done.returncode != 0:
            failures.append(f"exit {done.returncode}: {done.stderr.decode('utf-8', 'replace')}")
        for expected in ("value\t●428.35●", "saved\t<true>", "count\t     6", "cheapest[]\t(('milk'))"):
            if expected not in out:
                failures.append(f"{expected!r} not in the dump:\n{out}")
        book = os.path.join(home, "shop.xlsx")
        if not os.path.exists(book) or open(book, "rb").read(2) != b"PK":
            failures.append("shop.xlsx was not written as a workbook")
    for f in failures:
        print(f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
