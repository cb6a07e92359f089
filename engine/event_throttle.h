// Lets the hosts service their events at most every few milliseconds from the run loop, which
// asks before every line. The coarse monotonic clock is read from memory the kernel updates at
// each tick: far cheaper than the precise clock, and fine enough for intervals of 10 ms and more.
#pragma once

#include <ctime>

class EventThrottle {
 public:
  explicit EventThrottle(int intervalMs) : intervalNs_(static_cast<long long>(intervalMs) * 1000000) { last_ = Now(); }

  // True (and the interval starts anew) once the interval has passed since the last time.
  bool Due() {
    const long long now = Now();
    if (now - last_ < intervalNs_) return false;
    last_ = now;
    return true;
  }

 private:
  static long long Now() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC_COARSE, &t);
    return static_cast<long long>(t.tv_sec) * 1000000000 + t.tv_nsec;
  }
  long long intervalNs_;
  long long last_;
};
