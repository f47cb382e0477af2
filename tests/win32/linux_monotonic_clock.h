// Time stamps the Wine test programs share with the Linux side of a test.
#pragma once

#include <cstdint>

namespace velno_test {

// Microseconds on Linux's CLOCK_MONOTONIC (python's time.monotonic_ns() / 1000) when running under
// Wine on x86-64; elsewhere microseconds of QueryPerformanceCounter.
std::int64_t MonotonicMicroseconds();

// "linux_monotonic" or "qpc": the scale MonotonicMicroseconds() is on, for the programs' logs.
const char* MonotonicClockName();

}  // namespace velno_test
