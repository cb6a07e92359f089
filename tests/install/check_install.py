#!/usr/bin/env python3
"""cmake --install into a temporary prefix: the desktop files are where the desktop looks for
them, and the installed program, started by a user with a fresh home folder, keeps its program
folder in ~/.local/share/Tressaly, fills it from the installation's shipped files and runs the
installed samples. Usage: check_install.py BUILD_DIR SOURCE_DIR"""
import os
import shutil
import subprocess
import sys
import tempfile

from installed_layout import report, check_layout, check_metadata, run_installed


def main():
    build, source = sys.argv[1:3]
    failures = []
    with tempfile.TemporaryDirectory(prefix="tressaly-install-") as scratch:
        prefix, home = os.path.join(scratch, "prefix"), os.path.join(scratch, "home")
        os.mkdir(home)
        subprocess.run(["cmake", "--install", build, "--prefix", prefix], check=True, capture_output=True,
                       timeout=300)
        failures += check_layout(prefix)
        failures += check_metadata(prefix)

        # A picture only the installation has shows that the copy comes from there.
        shipped = os.path.join(prefix, "share/tressaly/pictures")
        shutil.copy(os.path.join(shipped, "thermometer.png"), os.path.join(shipped, "installed_only.png"))
        with open(os.path.join(home, "first.txt"), "w") as f:
            f.write("x = 1\n")
        program = os.path.join(prefix, "bin/tressaly")
        done = run_installed(program, home, ["--dump", "first.txt"])
        if done.returncode != 0 or "x\t     1" not in done.stdout.decode():
            failures.append(f"first run: exit {done.returncode}, {done.stdout!r} {done.stderr!r}")
        folder = os.path.join(home, ".local/share/Tressaly")
        for sub in ("Scripts", "Temp", "pictures", "js"):
            if not os.path.isdir(os.path.join(folder, sub)):
                failures.append(f"program folder lacks {sub}")
        for picture in ("installed_only.png", "lamp_on.bmp"):
            if not os.path.isfile(os.path.join(folder, "pictures", picture)):
                failures.append(f"first run did not copy {picture} into the program folder")
        if os.path.exists(os.path.join(prefix, "bin/Scripts")):
            failures.append("the installed program took its bin folder for a program folder")

        # The installed sample that stops with an error shows the catalogue's message.
        expected_err = open(os.path.join(source, "tests/console/expected/error.err"), encoding="utf-8").read()
        done = run_installed(program, home, ["error.txt"], cwd=os.path.join(prefix, "share/tressaly/samples"))
        if done.returncode != 1 or done.stderr.decode() != expected_err:
            failures.append(f"installed error.txt: exit {done.returncode}, stderr {done.stderr!r}")
    return report(failures)


if __name__ == "__main__":
    sys.exit(main())
