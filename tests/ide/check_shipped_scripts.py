#!/usr/bin/env python3
"""Checks the scripts a newcomer meets: the welcome script and the examples of examples/, and
the example parts ("<fnt3>") of every tutorial topic in English and Russian.

1. Reserved words are written in lower case outside strings and comments, because the editor
   highlights them only in that form.
2. Every tutorial example and the welcome script run to their end in console mode (exit status
   0, nothing on stderr).

Usage: check_shipped_scripts.py PROGRAM SOURCE_DIR"""
import json
import os
import re
import subprocess
import sys
import tempfile

# The editor's reserved words (highlighted only when written exactly so).
RESERVED = {"and", "array", "breakif", "break", "continueif", "continue", "else", "false", "float",
            "for", "function", "if", "int", "not", "or", "pi", "repeat", "return", "stop", "string",
            "true"}

# Tutorial examples that are not a script on their own: which example parts are files the
# script includes (by name), which are only shown, and the command-line parameters a run gets.
TOPIC_SETUP = {
    "Include": {"files": {0: "geometry.txt"}, "shown_only": {2}},
    "LaunchFromCommandLine": {"parameters": ["prices.csv", "/R"]},
}


def code_words(line):
    """The words of a line outside apostrophe strings and comments (# or ; or after a "...")."""
    words, i = [], 0
    while i < len(line):
        c = line[i]
        if c in "#;":
            break
        if c == "'":
            end = line.find("'", i + 1)
            i = len(line) if end < 0 else end + 1
            continue
        m = re.match(r"[A-Za-z_][A-Za-z_0-9]*", line[i:])
        if m:
            words.append(m.group(0))
            i += len(m.group(0))
        else:
            i += 1
    return words


def misspelt_reserved_words(text):
    found = []
    for number, line in enumerate(text.splitlines()):
        for word in code_words(line):
            if word.lower() in RESERVED and word != word.lower():
                found.append(f"line {number}: {word}")
    return found


def example_parts(topic_text):
    """The texts that follow each "<fnt3>" marker up to the next marker."""
    parts = re.split(r"<fnt(\d)>", topic_text)
    return [parts[i + 1].replace("~~eol~~", "\n") for i in range(1, len(parts) - 1, 2) if parts[i] == "3"]


def run(program, home, script_text, parameters=()):
    path = os.path.join(home, "example.txt")
    with open(path, "w", encoding="utf-8") as f:
        f.write(script_text)
    env = dict(os.environ, TRESSALY_HOME=home, LANG="C", LC_ALL="")
    result = subprocess.run([program, "--console", path, *parameters], env=env, capture_output=True,
                            timeout=60, stdin=subprocess.DEVNULL)
    err = result.stderr.decode("utf-8", "replace").strip()
    return None if result.returncode == 0 and not err else f"exit status {result.returncode}: {err}"


def main():
    program, source = sys.argv[1:3]
    failures = []
    examples = os.path.join(source, "examples")
    for name in sorted(n for n in os.listdir(examples) if n.endswith(".txt")):
        with open(os.path.join(examples, name), encoding="utf-8") as f:
            text = f.read()
        failures += [f"examples/{name} {m}" for m in misspelt_reserved_words(text)]
        if name == "AutoStart.txt":
            with tempfile.TemporaryDirectory(prefix="tressaly-welcome-") as home:
                if problem := run(program, home, text):
                    failures.append(f"examples/{name}: {problem}")

    with open(os.path.join(source, "resources", "help", "tutorials.json"), encoding="utf-8") as f:
        topics = json.load(f)["topics"]
    for topic in topics:
        setup = TOPIC_SETUP.get(topic["key"], {})
        for language in ("en", "ru"):
            where = f"tutorial {topic['key']} ({language})"
            parts = example_parts(topic[language])
            if not parts:
                failures.append(f"{where}: no example")
            with tempfile.TemporaryDirectory(prefix="tressaly-tutorial-") as home:
                os.makedirs(os.path.join(home, "Scripts"))
                for index, part in enumerate(parts):
                    failures += [f"{where} example {index} {m}" for m in misspelt_reserved_words(part)]
                    if index in setup.get("files", {}):
                        with open(os.path.join(home, "Scripts", setup["files"][index]), "w", encoding="utf-8") as f:
                            f.write(part)
                for index, part in enumerate(parts):
                    if index in setup.get("files", {}) or index in setup.get("shown_only", set()):
                        continue
                    if problem := run(program, home, part, setup.get("parameters", ())):
                        failures.append(f"{where} example {index}: {problem}")

    for failure in failures:
        print(failure)
    print(f"{len(failures)} problem(s) in {len(topics)} tutorial topics and {len(os.listdir(examples))} examples")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
