"""A private desktop for the automation tests: Xvfb on a free display (-displayfd), openbox as
the window manager, a private D-Bus session (the test re-runs itself under dbus-run-session),
the probe application, and scripts run through tressaly's console mode on that display."""
import os
import queue
import shutil
import subprocess
import sys
import tempfile
import threading
import time
sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from checks import Checks  # noqa: E402  (shared with the other script-driven tests)


def in_private_bus():
    """Re-runs the calling test under its own D-Bus session bus (once)."""
    if os.environ.get("TRESSALY_TEST_BUS") != "1":
        env = dict(os.environ, TRESSALY_TEST_BUS="1")
        os.execvpe("dbus-run-session", ["dbus-run-session", "--", sys.executable] + sys.argv, env)


class Desktop:
    def __init__(self):
        self.processes = []
        self.display = None

    def __enter__(self):
        read_end, write_end = os.pipe()
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
                                 "-nolisten", "tcp"], pass_fds=(write_end,), stderr=subprocess.DEVNULL)
        os.close(write_end)
        self.processes.append(xvfb)
        with os.fdopen(read_end) as f:
            number = f.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number
        self.env = dict(os.environ, DISPLAY=self.display, LANG="C", LC_ALL="",
                        QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
        wm = subprocess.Popen(["openbox", "--sm-disable"], env=self.env,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.processes.append(wm)
        self._wait_for_window_manager()
        return self

    def _wait_for_window_manager(self):
        deadline = time.time() + 10
        while time.time() < deadline:
            probe = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=self.env,
                                   capture_output=True, text=True)
            if "window id" in probe.stdout:
                return
            time.sleep(0.1)
        raise RuntimeError("openbox did not start")

    def __exit__(self, *exc):
        for p in reversed(self.processes):
            if p.poll() is None:
                p.terminate()
                try:
                    p.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    p.kill()
                    p.wait()

    def start_probe(self, program):
        probe = Probe(program, self.env)
        self.processes.append(probe.process)
        return probe

    def run_script(self, tressaly, script, timeout=60, env=None):
        """Runs the script in console mode; returns (exit status, {name: value}, stderr)."""
        with tempfile.TemporaryDirectory(prefix="tressaly-auto-") as home:
            path = os.path.join(home, "script.txt")
            with open(path, "w", encoding="utf-8") as f:
                f.write(script)
            run_env = dict(env if env is not None else self.env, TRESSALY_HOME=home)
            done = subprocess.run([tressaly, "--console", "--dump", path], env=run_env,
                                  capture_output=True, timeout=timeout)
        values = {}
        for line in done.stdout.decode().splitlines():
            name, _, value = line.partition("\t")
            values[name] = value
        return done.returncode, values, done.stderr.decode()


class Probe:
    """The probe application; its report lines are read on a thread."""

    def __init__(self, program, env):
        self.process = subprocess.Popen([program], env=env, stdout=subprocess.PIPE,
                                        stderr=subprocess.DEVNULL, text=True)
        self.lines = queue.Queue()
        self.layout = {}  # control name -> (x, y, width, height) inside the client area
        threading.Thread(target=self._read, daemon=True).start()
        deadline = time.time() + 15
        while True:
            line = self.expect("", timeout=max(0.1, deadline - time.time()))
            if line.startswith("layout "):
                name, *numbers = line.split()[1:]
                self.layout[name] = tuple(int(n) for n in numbers)
            elif line.startswith("ready "):
                self.window = int(line.split()[1])
                break
        time.sleep(0.5)  # the window manager maps and frames it

    def _read(self):
        for line in self.process.stdout:
            self.lines.put(line.rstrip("\n"))

    def drain(self):
        seen = []
        while not self.lines.empty():
            seen.append(self.lines.get_nowait())
        return seen

    def expect(self, prefix, timeout=5):
        """The first report line that starts with prefix (others are dropped)."""
        deadline = time.time() + timeout
        seen = []
        while time.time() < deadline:
            try:
                line = self.lines.get(timeout=max(0.01, deadline - time.time()))
            except queue.Empty:
                break
            if line.startswith(prefix):
                return line
            seen.append(line)
        raise AssertionError(f"probe never reported {prefix!r}; it reported {seen}")


    def expect_all(self, prefixes, timeout=5):
        """Waits for a report line for each prefix, in any order; returns the prefixes never seen."""
        missing = list(prefixes)
        deadline = time.time() + timeout
        while missing and time.time() < deadline:
            try:
                line = self.lines.get(timeout=max(0.01, deadline - time.time()))
            except queue.Empty:
                break
            missing = [p for p in missing if not line.startswith(p)] if any(line.startswith(p) for p in missing) else missing
        return missing


def require(*programs):
    missing = [p for p in programs if shutil.which(p) is None]
    if missing:
        print("missing programs (scripts/deps.sh installs them):", ", ".join(missing))
        sys.exit(1)
