#!/usr/bin/env python3
"""Runs an example script through console mode and compares what it prints with the
expected files: NAME.dump (stdout with --dump) and, for a run that must stop with an
error, NAME.err (stderr; the exit status must then be 1, else 0).
Usage: check_example.py PROGRAM SOURCE_DIR NAME [--update]"""
import os
import subprocess
import sys
import tempfile


def main():
    program, source, name = sys.argv[1:4]
    update = "--update" in sys.argv
    expected_dir = os.path.join(source, "tests", "console", "expected")
    dump_file = os.path.join(expected_dir, name + ".dump")
    err_file = os.path.join(expected_dir, name + ".err")
    with tempfile.TemporaryDirectory(prefix="tressaly-example-") as home:
        env = dict(os.environ, TRESSALY_HOME=home, LANG="C", LC_ALL="")
        run = subprocess.run([program, "--console", "--dump", f"examples/{name}.txt"],
                             cwd=source, env=env, capture_output=True, timeout=120,
                             stdin=subprocess.DEVNULL)
    out, err = run.stdout.decode("utf-8"), run.stderr.decode("utf-8")
    if update:
        os.makedirs(expected_dir, exist_ok=True)
        with open(dump_file, "w", encoding="utf-8", newline="") as f:
            f.write(out)
        if err:
            with open(err_file, "w", encoding="utf-8", newline="") as f:
                f.write(err)
        return 0
    expect_err = open(err_file, encoding="utf-8", newline="").read() if os.path.exists(err_file) else ""
    expect_out = open(dump_file, encoding="utf-8", newline="").read()
    failures = []
    if run.returncode != (1 if expect_err else 0):
        failures.append(f"exit status {run.returncode}")
    if out != expect_out:
        failures.append(f"stdout differs:\n--- expected\n{expect_out}--- got\n{out}")
    if err != expect_err:
        failures.append(f"stderr differs:\n--- expected\n{expect_err}--- got\n{err}")
    for f in failures:
        print(f"{name}: {f}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
