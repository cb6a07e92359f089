"""Shared pieces of the benchmarks."""
import time


def best_of(runs, action):
    """The shortest of `runs` timings of action(), in seconds."""
    best = float("inf")
    for _ in range(runs):
        start = time.perf_counter()
        action()
        best = min(best, time.perf_counter() - start)
    return best
