#!/usr/bin/env python3
"""The dialog functions in console mode, answered from stdin one line each: InputString,
InputText ("\\n" for a line break), Message (a code or a button name; an empty line the first
button; end of input Esc), Menu (a number or a line's text), end of input as Cancel, and the
array errors of Menu. Usage: check_dialogs.py PROGRAM"""
import os
import subprocess
import sys
import tempfile

SCRIPT = """array Fruit[3]string=('apple', 'pear', 'plum')
name = InputString('Your name?', 'nobody')
note = InputText('A note?', 'x')
answer = Message('Go on?', 'Question', 4)
first = Message('Fine?', '', 3)
chosen = Menu('Which fruit?', Fruit, 2)
byText = Menu('Which fruit?', Fruit)
byDefault = Menu('Which fruit?', Fruit, 3)
cancelled = InputString('More?', 'x')
escaped = Message('Again?', '', 3)
none = Menu('Which?', Fruit)
kept = InputText('Last?', 'default')
"""

EXPECTED = {
    "name": "●Ann●", "note": '●one\\r\\ntwo●', "answer": "7", "first": "6", "chosen": "3",
    "byText": "2", "byDefault": "3", "cancelled": "●●", "escaped": "2", "none": "0",
    "kept": "●default●",
}


def run(program, script, answers):
    with tempfile.TemporaryDirectory(prefix="tressaly-dialogs-") as home:
        path = f"{home}/dialogs.txt"
        with open(path, "w", encoding="utf-8") as f:
            f.write(script)
        return subprocess.run([program, "--console", "--dump", path], input=answers.encode(),
                              env={"TRESSALY_HOME": home, "LANG": "C", "PATH": "/usr/bin:/bin"},
                              capture_output=True, timeout=60)


def check_information_window(program):
    """Info_form prints its text and its controls; a faulty control line prints nothing and stops
    the run with its message. The example script runs with its three answers."""
    failures = []
    example = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "examples", "dialogs.txt")
    with open(example, encoding="utf-8") as f:
        done = run(program, f.read(), "Ann\n2\nyes\n")
    out = done.stdout.decode()
    for expected in ("Order for Ann: coffee\nClick the buttons", "[One more cup]\n[Reset]\n[ ] With milk\n",
                     "milk\t<false>", "choice\t     2", "sugar\t<true>"):
        if done.returncode != 0 or expected not in out:
            failures.append(f"example: exit {done.returncode}, {expected!r} not in {out!r}")
    for info, message in (("'button \"\" Run()' + Char(13)", 'The "button" keyword must be followed'),
                          ("'checkbox \"Flag\"' + Char(13)", 'The keyword "Checkbox" and the name')):
        failed = run(program, f"Info_form({info})\n", "")
        if failed.returncode != 1 or message not in failed.stderr.decode() or b"\n[" in b"\n" + failed.stdout:
            failures.append(f"{info}: exit {failed.returncode}, out {failed.stdout!r}, err {failed.stderr!r}")
    return failures


def main():
    program = sys.argv[1]
    failures = []
    done = run(program, SCRIPT, "Ann\none\\ntwo\nno\n\n3\npear\n\n")
    if done.returncode != 0:
        failures.append(f"exit {done.returncode}: {done.stderr.decode()}")
    values = {}
    for line in done.stdout.decode().splitlines():
        name, _, value = line.partition("\t")
        values[name] = value.strip()
    for name, value in EXPECTED.items():
        if values.get(name) != value.strip():
            failures.append(f"{name}: expected {value!r}, got {values.get(name)!r}")
    for script, message in (("m = Menu('?', 'Nothing')", 'must be" array"'),
                            ("array N[2]float\nm = Menu('?', N)", 'The array "N" must be string')):
        failed = run(program, script + "\n", "")
        if failed.returncode != 1 or message not in failed.stderr.decode():
            failures.append(f"{script!r}: exit {failed.returncode}, stderr {failed.stderr.decode()!r}")
    failures += check_information_window(program)
    for f in failures:
        print(f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
