#!/usr/bin/env python3
"""The Debian package: CPack builds it from the build folder; its dependencies are the linked
libraries (with LibreOffice Calc and chromium-driver only recommended); unpacked with dpkg -x
into a temporary root it holds the installed layout, and its program runs a sample script there
as the build's program does. Usage: check_package.py BUILD_DIR SOURCE_DIR"""
import glob
import os
import subprocess
import sys
import tempfile

from installed_layout import report, check_layout, run_installed


def field(deb, name):
    return subprocess.run(["dpkg-deb", "-f", deb, name], capture_output=True, check=True).stdout.decode().strip()


def main():
    build, source = sys.argv[1:3]
    failures = []
    with tempfile.TemporaryDirectory(prefix="tressaly-deb-") as scratch:
        made = subprocess.run(["cpack", "--config", os.path.join(build, "CPackConfig.cmake"), "-B", scratch],
                              capture_output=True, timeout=600)
        debs = glob.glob(os.path.join(scratch, "tressaly_*.deb"))
        if made.returncode != 0 or len(debs) != 1:
            print(f"cpack failed ({made.returncode}):\n{made.stdout.decode()}{made.stderr.decode()}")
            return 1
        deb = debs[0]
        depends, recommends = field(deb, "Depends"), field(deb, "Recommends")
        # The sound and FTP libraries are opened when first needed, so they are named, not found.
        for library in ("libqt6core6", "libqt6widgets6", "libc6", "libsdl2-mixer-2.0-0", "libcurl4"):
            if library not in depends:
                failures.append(f"Depends lacks {library}: {depends}")
        for package in ("libreoffice-calc", "chromium-driver"):
            if package not in recommends.split(", "):
                failures.append(f"Recommends lacks {package}: {recommends}")
            if package in depends:
                failures.append(f"{package} is required: {depends}")

        root, home = os.path.join(scratch, "root"), os.path.join(scratch, "home")
        os.mkdir(home)
        subprocess.run(["dpkg", "-x", deb, root], check=True, timeout=120)
        failures += check_layout(os.path.join(root, "usr"))
        samples = os.path.join(root, "usr/share/tressaly/samples")
        done = run_installed(os.path.join(root, "usr/bin/tressaly"), home, ["--dump", "loops.txt"], cwd=samples)
        expected = open(os.path.join(source, "tests/console/expected/loops.dump"), encoding="utf-8").read()
        expected = expected.replace("examples/loops.txt", "loops.txt")
        if done.returncode != 0 or done.stdout.decode() != expected:
            failures.append(f"packaged loops.txt: exit {done.returncode}\n{done.stdout.decode()}{done.stderr.decode()}")
    return report(failures)


if __name__ == "__main__":
    sys.exit(main())
