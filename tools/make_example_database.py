#!/usr/bin/env python3
"""Writes examples/shop.db, the SQLite database the database example queries: a table of goods
with texts, prices, whole numbers and dates. Usage: make_example_database.py [OUTPUT]"""
import os
import sqlite3
import sys

GOODS = [
    ("tea", 2.50, 40, "2026-11-02"),
    ("coffee", 4.75, 25, "2026-11-15"),
    ("cocoa", 3.20, 12, "2026-10-28"),
    ("milk", 0.95, 60, "2026-12-01"),
    ("bread", 1.80, 35, "2026-12-08"),
    ("honey", 6.40, 8, "2026-09-19"),
]


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "examples", "shop.db")
    if os.path.exists(output):
        os.remove(output)
    with sqlite3.connect(output) as db:
        db.execute("create table goods (name text primary key, price real, stock integer, delivered date)")
        db.executemany("insert into goods values (?, ?, ?, ?)", GOODS)
    return 0


if __name__ == "__main__":
    sys.exit(main())
