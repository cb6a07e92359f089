#!/usr/bin/env python3
"""Processes and the missing display through console mode, without any X server:
Processes_List with and without a sample, Process_Terminate of a program the script started
(it leaves the list at once) and of a missing identifier, and the clear error of a window
function in both languages. Usage: check_processes.py TRESSALY"""
import os
import shutil
import subprocess
import sys
import tempfile

from desktop import Checks


def run(tressaly, script, *options):
    with tempfile.TemporaryDirectory(prefix="tressaly-proc-") as home:
        path = os.path.join(home, "script.txt")
        with open(path, "w", encoding="utf-8") as f:
            f.write(script)
        env = {"TRESSALY_HOME": home, "LANG": "C", "PATH": os.environ.get("PATH", "/usr/bin:/bin")}
        done = subprocess.run([tressaly, "--console", "--dump", *options, path], env=env,
                              capture_output=True, timeout=60)
    values = dict(line.partition("\t")[::2] for line in done.stdout.decode().splitlines())
    return done.returncode, values, done.stderr.decode()


def main():
    tressaly = sys.argv[1]
    checks = Checks()
    with tempfile.TemporaryDirectory(prefix="tressaly-nap-") as folder:
        # A copy of sleep under a name no other process on the machine has.
        nap = os.path.join(folder, f"nap{os.getpid()}")
        shutil.copy(shutil.which("sleep"), nap)
        status, values, err = run(tressaly, f"""OS_ExecCommand('{nap} 30', 1, 0)
before = Processes_List('NAP{os.getpid()}')
id = before[1,1]
ok = Process_Terminate(Str_ToFloat(id))
after = Processes_List('nap{os.getpid()}')
missing = Process_Terminate(2147483000)
all = Processes_List()
first = all[1,1]
""")
        checks.equal("processes: exit status", (status, err), (0, ""))
        row = values.get("before[]", "")
        checks.true(f"the started program is listed by its name: {row}", f"'nap{os.getpid()}'" in row and row.count("(") == 2)
        checks.equal("terminated", values.get("ok"), "<true>")
        checks.equal("gone from the list", values.get("after[]"), "()")
        checks.equal("missing identifier", values.get("missing"), "<false>")
        lowest = min(int(p) for p in os.listdir("/proc") if p.isdigit())
        checks.equal("the first row is the lowest identifier", values.get("first"), f"●{lowest}●")

    for lang, text in (("en", "No X display"), ("ru", "Нет дисплея X")):
        status, values, err = run(tressaly, "h = FindWindow('Anything')\n", "--lang", lang)
        checks.true(f"no display ({lang}): {status} {err!r}", status == 1 and err.startswith(text))
    checks.finish()


main()
