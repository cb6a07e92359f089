#!/usr/bin/env python3
"""Consistency check of the built-in function description tables.

Loads every table file in this folder and checks:
  - table name, word kind, slot count and filled-slot count of each table;
  - every filled formula has a non-empty name before "(" and contains ")"
    (the Arduino slot 10 entry has only a synonym and no formula);
  - every type word of every formula is one of
    anytype, int, float, boolean, string, array (or empty, meaning anytype);
  - category names, and for the JavaScript table the result type and host object.

Type-word rule: scan from the first "("; for each ":" the type word runs from
after it up to the next ")", ",", "=", "[" or "]" (or the end of the text),
trimmed and lower-cased.  The result type after the first ")" is checked too.

Prints every problem found and exits with status 1 if there is any.
"""

import json
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

# file -> (table name, word kind, slots, filled)
TABLES = {
    "general.json": ("GeneralFunctionTable", "wkEmbeddedFunction", 71, 71),
    "graphics.json": ("GraphFunctionTable", "wkGraphFunction", 24, 23),
    "dialogs.json": ("DialogFunctionTable", "wkDialogFunction", 7, 5),
    "database.json": ("DBFunctionTable", "wkDBaseFunction", 9, 5),
    "system.json": ("OSFunctionTable", "wkOS_FunctionsFunction", 36, 31),
    "ftp_udp.json": ("FTPFunctionTable", "wkFTPFunction", 14, 13),
    "arduino.json": ("ArduinoFunctionTable", "wkArduinoFunction", 15, 11),
    "javascript.json": ("JSFunctionTable", "wkJS_Function", 43, 39),
}
TOPICS_FILE = "topics.json"
TOPIC_COUNT = 21

# Slots whose formula is legitimately empty although the slot counts as filled.
SYNONYM_ONLY_SLOTS = {("arduino.json", 10)}

# Formula texts that are kept verbatim even though their type words are outside
# the valid set.  They belong to the JavaScript-mapped table, whose calls are
# never validated, so the odd type words have no effect.  Any other failing
# formula, or any change of these texts, is reported as a problem.
KNOWN_TYPE_EXCEPTIONS = {
    ("javascript.json", 5): "getTime([datetime:str])",
    ("javascript.json", 35): "min(x:float,y:float[,z:float ...])",
    ("javascript.json", 36): "max(x:float,y:float[,z:float ...])",
    ("javascript.json", 37): "RegExp_matchJS(Pattern:str,RE_counter:int,TestingText:str)",
    ("javascript.json", 38): "RegExp_replaceJS(Pattern:str,RelacementText:str,TestingText:str)",
    ("javascript.json", 39): "RegExp_indexJS(Pattern:str,LastIndex:int,TestingText:str)",
}

VALID_TYPE_WORDS = {"", "anytype", "int", "float", "boolean", "string", "array"}
TYPE_WORD_END = ")],=["

F_TYPES = {
    "fNone", "fMath", "fStr", "fDateTime", "fFile", "fArr", "fDialog", "fMatrix",
    "fGraph", "fMisc", "fRegExp", "fDataBase", "fExcel", "fOS", "fFTP", "fUDP",
    "fBrowser", "fArduino", "fComPort",
}
JS_RETURN_TYPES = {"", "str", "bool", "float", "int"}
JS_OBJECTS = {"jso_None", "jso_Str", "jso_String", "jso_Date", "jso_Math", "jso_RE"}


def type_words(formula):
    """Return the list of (position, raw type word) found after the first "("."""
    words = []
    start = formula.find("(")
    if start < 0:
        return words
    pos = start
    while True:
        colon = formula.find(":", pos)
        if colon < 0:
            break
        end = colon + 1
        while end < len(formula) and formula[end] not in TYPE_WORD_END:
            end += 1
        words.append((colon, formula[colon + 1:end]))
        pos = colon + 1
    return words


def bad_type_words(formula):
    return [w for _, w in type_words(formula)
            if w.strip().lower() not in VALID_TYPE_WORDS]


def load(path, problems):
    try:
        with open(path, encoding="utf-8") as fh:
            return json.load(fh)
    except (OSError, ValueError) as exc:
        problems.append("%s: cannot be loaded: %s" % (os.path.basename(path), exc))
        return None


def check_slot_fields(fname, i, slot, problems, js):
    where = "%s slot %d" % (fname, i)
    for key in ("formula", "synonym"):
        if not isinstance(slot.get(key), str):
            problems.append("%s: \"%s\" missing or not a string" % (where, key))
    types = slot.get("types")
    if not isinstance(types, list):
        problems.append("%s: \"types\" missing or not a list" % where)
    else:
        for t in types:
            if t not in F_TYPES:
                problems.append("%s: unknown category %r" % (where, t))
    if js:
        if slot.get("returnType") not in JS_RETURN_TYPES:
            problems.append("%s: bad returnType %r" % (where, slot.get("returnType")))
        if slot.get("obj") not in JS_OBJECTS:
            problems.append("%s: bad obj %r" % (where, slot.get("obj")))


def check_table(fname, expected, problems, notes):
    table, kind, n_slots, n_filled = expected
    data = load(os.path.join(HERE, fname), problems)
    if data is None:
        return
    if data.get("table") != table:
        problems.append("%s: table is %r, expected %r" % (fname, data.get("table"), table))
    if data.get("kind") != kind:
        problems.append("%s: kind is %r, expected %r" % (fname, data.get("kind"), kind))
    slots = data.get("slots")
    if not isinstance(slots, list):
        problems.append("%s: \"slots\" missing or not a list" % fname)
        return
    if len(slots) != n_slots:
        problems.append("%s: %d slots, expected %d" % (fname, len(slots), n_slots))

    js = fname == "javascript.json"
    filled = 0
    for i, slot in enumerate(slots):
        if not isinstance(slot, dict):
            problems.append("%s slot %d: not an object" % (fname, i))
            continue
        check_slot_fields(fname, i, slot, problems, js)
        formula = slot.get("formula") if isinstance(slot.get("formula"), str) else ""
        synonym = slot.get("synonym") if isinstance(slot.get("synonym"), str) else ""
        if not formula and not synonym:
            continue
        filled += 1
        where = "%s slot %d" % (fname, i)
        if (fname, i) in SYNONYM_ONLY_SLOTS:
            if formula:
                problems.append("%s: expected an empty formula, found %r" % (where, formula))
            continue
        if not formula:
            problems.append("%s: synonym %r without a formula" % (where, synonym))
            continue
        if "(" not in formula or not formula.split("(", 1)[0].strip():
            problems.append("%s: no function name before \"(\" in %r" % (where, formula))
        if ")" not in formula:
            problems.append("%s: no \")\" in %r" % (where, formula))
        bad = bad_type_words(formula)
        if bad:
            known = KNOWN_TYPE_EXCEPTIONS.get((fname, i))
            if known == formula:
                notes.append("%s: kept verbatim, type word(s) %s outside the valid set in %r"
                             % (where, ", ".join(repr(b.strip()) for b in bad), formula))
            else:
                problems.append("%s: invalid type word(s) %s in %r"
                                % (where, ", ".join(repr(b.strip()) for b in bad), formula))
    if filled != n_filled:
        problems.append("%s: %d filled slots, expected %d" % (fname, filled, n_filled))

    for (kf, ki), text in KNOWN_TYPE_EXCEPTIONS.items():
        if kf == fname and (ki >= len(slots) or not isinstance(slots[ki], dict)
                            or slots[ki].get("formula") != text):
            problems.append("%s slot %d: expected the verbatim text %r" % (fname, ki, text))


def check_topics(problems):
    data = load(os.path.join(HERE, TOPICS_FILE), problems)
    if data is None:
        return
    slots = data.get("slots")
    if not isinstance(slots, list):
        problems.append("%s: \"slots\" missing or not a list" % TOPICS_FILE)
        return
    if len(slots) != TOPIC_COUNT:
        problems.append("%s: %d entries, expected %d" % (TOPICS_FILE, len(slots), TOPIC_COUNT))
    seen = set()
    for i, slot in enumerate(slots):
        where = "%s entry %d" % (TOPICS_FILE, i)
        if not isinstance(slot, dict):
            problems.append("%s: not an object" % where)
            continue
        formula = slot.get("formula")
        if not isinstance(formula, str) or not formula.strip():
            problems.append("%s: empty topic name" % where)
            continue
        if any(c in formula for c in "()[]"):
            problems.append("%s: topic name %r must have no brackets" % (where, formula))
        if formula in seen:
            problems.append("%s: duplicate topic %r" % (where, formula))
        seen.add(formula)
        if slot.get("synonym", ""):
            problems.append("%s: topic entries carry no synonym" % where)
        if slot.get("types", []):
            problems.append("%s: topic entries carry no categories" % where)


def main():
    problems = []
    notes = []
    for fname, expected in TABLES.items():
        check_table(fname, expected, problems, notes)
    check_topics(problems)

    for n in notes:
        print("note: " + n)
    for p in problems:
        print("problem: " + p)
    if problems:
        print("%d problem(s) found" % len(problems))
        return 1
    print("all %d tables and the topic list are consistent" % len(TABLES))
    return 0


if __name__ == "__main__":
    sys.exit(main())
