"""Expectations of the script-driven tests (desktop, network): every failure is collected, so
that one run reports all of them."""
import sys


class Checks:
    def __init__(self):
        self.failures = []

    def equal(self, what, got, expected):
        if got != expected:
            self.failures.append(f"{what}: expected {expected!r}, got {got!r}")

    def true(self, what, condition, detail=""):
        if not condition:
            self.failures.append(f"{what} {detail}".strip())

    def report(self):
        """Prints the failures; the exit status of the check (1 after a failure)."""
        for f in self.failures:
            print("FAIL:", f)
        return 1 if self.failures else 0

    def finish(self):
        sys.exit(self.report())
