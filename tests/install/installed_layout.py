"""What an installation under a prefix must hold, and a run of the installed program from a
fresh home folder. Shared by the install test (cmake --install) and the package test (dpkg -x)."""
import os
import struct
import subprocess

APP_ID = "org.tressaly.Tressaly"
ICON_SIZES = (16, 24, 32, 48, 64, 128, 256)


def png_size(path):
    with open(path, "rb") as f:
        header = f.read(24)
    if header[:8] != b"\x89PNG\r\n\x1a\n":
        return None
    return struct.unpack(">II", header[16:24])


def check_layout(prefix):
    """The files of a desktop application under `prefix` (/usr/local, /usr): problems found."""
    problems = []
    share = os.path.join(prefix, "share")
    wanted = ["bin/tressaly", f"share/applications/{APP_ID}.desktop", f"share/metainfo/{APP_ID}.metainfo.xml",
              "share/man/man1/tressaly.1", f"share/icons/hicolor/scalable/apps/{APP_ID}.svg",
              "share/tressaly/samples/AutoStart.txt", "share/tressaly/samples/loops.txt",
              "share/tressaly/pictures/thermometer.png"]
    problems += [f"missing {name}" for name in wanted if not os.path.isfile(os.path.join(prefix, name))]
    if not os.access(os.path.join(prefix, "bin/tressaly"), os.X_OK):
        problems.append("bin/tressaly is not executable")
    for size in ICON_SIZES:
        icon = os.path.join(share, f"icons/hicolor/{size}x{size}/apps/{APP_ID}.png")
        if not os.path.isfile(icon) or png_size(icon) != (size, size):
            problems.append(f"no {size}x{size} PNG icon")
    desktop = os.path.join(share, f"applications/{APP_ID}.desktop")
    if os.path.isfile(desktop):
        text = open(desktop, encoding="utf-8").read()
        for line in ("Exec=tressaly %f", f"Icon={APP_ID}", "MimeType=text/plain;", "Actions=run-script;",
                     "[Desktop Action run-script]", "Name=Run script", "Exec=tressaly %f /R"):
            if line not in text.splitlines():
                problems.append(f"desktop entry lacks {line!r}")
        if not any(l.startswith("Categories=") and "Development;" in l for l in text.splitlines()):
            problems.append("desktop entry not in category Development")
    return problems


def check_metadata(prefix):
    """The desktop entry, AppStream metadata and the manual page, checked by the tools that read
    them when present."""
    problems = []
    metainfo = os.path.join(prefix, f"share/metainfo/{APP_ID}.metainfo.xml")
    if os.path.exists("/usr/bin/appstreamcli") and os.path.isfile(metainfo):
        done = subprocess.run(["appstreamcli", "validate", "--no-net", "--pedantic", metainfo],
                              capture_output=True, timeout=60)
        if done.returncode != 0:
            problems.append(f"appstreamcli validate: {done.stdout.decode()}{done.stderr.decode()}")
    desktop = os.path.join(prefix, f"share/applications/{APP_ID}.desktop")
    if os.path.exists("/usr/bin/desktop-file-validate") and os.path.isfile(desktop):
        done = subprocess.run(["desktop-file-validate", desktop], capture_output=True, timeout=60)
        if done.returncode != 0 or done.stdout:
            problems.append(f"desktop-file-validate: {done.stdout.decode()}{done.stderr.decode()}")
    manual = os.path.join(prefix, "share/man/man1/tressaly.1")
    if os.path.exists("/usr/bin/groff") and os.path.isfile(manual):
        done = subprocess.run(["groff", "-man", "-Tutf8", "-ww", "-z", manual], capture_output=True, timeout=60)
        if done.returncode != 0 or done.stderr:
            problems.append(f"groff warns about the manual page: {done.stderr.decode()}")
        text = open(manual, encoding="utf-8").read()
        for needed in ("/R", "/F", "/M", "\\-\\-console", "\\-\\-picture", "\\-\\-canvas", "EXIT STATUS", "130"):
            if needed not in text:
                problems.append(f"manual page lacks {needed}")
    return problems


def run_installed(program, home, args, cwd=None):
    """Runs the installed program as a user whose home is `home`, with no program folder set."""
    env = {"PATH": "/usr/bin:/bin", "LANG": "C", "HOME": home}
    return subprocess.run([program, "--console", *args], env=env, cwd=cwd or home, capture_output=True,
                          timeout=120, stdin=subprocess.DEVNULL)


def report(failures):
    """Prints the failures; the exit status of the check."""
    for failure in failures:
        print(failure)
    return 1 if failures else 0
