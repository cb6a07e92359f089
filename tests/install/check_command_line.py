#!/usr/bin/env python3
"""The command line before any run: --help and --version print to stdout and exit 0, in window
and console mode alike; an unknown option prints the usage to stderr and exits 2; words after
the script name belong to the script, whatever they look like.
Usage: check_command_line.py PROGRAM VERSION"""
import os
import subprocess
import sys
import tempfile


def run(program, args, env_extra=None, cwd=None):
    env = {"PATH": "/usr/bin:/bin", "LANG": "C", **(env_extra or {})}
    return subprocess.run([program, *args], env=env, cwd=cwd, capture_output=True, timeout=60,
                          stdin=subprocess.DEVNULL)


def main():
    program, version = sys.argv[1:3]
    failures = []

    def expect(args, status, out_has=None, err_has=None, out_empty=False, err_empty=False, **kw):
        done = run(program, args, **kw)
        out, err = done.stdout.decode(), done.stderr.decode()
        problems = []
        if done.returncode != status:
            problems.append(f"exit {done.returncode}, not {status}")
        if out_has and out_has not in out:
            problems.append(f"{out_has!r} not in stdout")
        if err_has and err_has not in err:
            problems.append(f"{err_has!r} not in stderr")
        if out_empty and out:
            problems.append("stdout not empty")
        if err_empty and err:
            problems.append("stderr not empty")
        if problems:
            failures.append(f"{args}: {'; '.join(problems)}\n  stdout: {out!r}\n  stderr: {err!r}")

    usage = "usage: tressaly"
    # No display is needed for any of these: they end before a window would open.
    expect(["--help"], 0, out_has=usage, err_empty=True)
    expect(["--console", "--help"], 0, out_has="--picture FILE.png", err_empty=True)
    expect(["--version"], 0, out_has=f"tressaly {version}\n", err_empty=True)
    expect(["--console", "--dump", "--version"], 0, out_has=version, err_empty=True)
    expect(["--frobnicate"], 2, err_has="unknown option --frobnicate", out_empty=True)
    expect(["--frobnicate"], 2, err_has=usage)
    expect(["--console", "--bogus", "x.txt"], 2, err_has="unknown option --bogus", out_empty=True)
    expect(["--dump", "x.txt"], 2, err_has="--dump works only with --console", out_empty=True)
    # A value of an option is no option of its own.
    expect(["--console", "--lang", "--help"], 2, err_has="--lang takes en or ru", out_empty=True)

    with tempfile.TemporaryDirectory(prefix="tressaly-cmdline-") as home:
        with open(os.path.join(home, "params.txt"), "w") as f:
            f.write("last = cmdLineParams[3]\n")
        # After the script name, "--help" is the script's parameter, not an option.
        expect(["--console", "--dump", "params.txt", "x", "--help"], 0, out_has="last\t●--help●",
               err_empty=True, cwd=home, env_extra={"TRESSALY_HOME": home})
        # The window's own parameters are not checked as options either: without a display the
        # window start reports that, not an unknown option.
        expect(["params.txt", "--frobnicate"], 2, err_has="no display", cwd=home,
               env_extra={"TRESSALY_HOME": home})

    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
