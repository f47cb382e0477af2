#include "linux_monotonic_clock.h"

#include <windows.h>

namespace velno_test {
namespace {

// Wine's QueryPerformanceCounter counts CLOCK_MONOTONIC_RAW in 100 ns units, which runs apart from
// CLOCK_MONOTONIC (180 ms apart minutes after boot here, and drifting). A Linux program that writes a
// byte stamps it with CLOCK_MONOTONIC, so under Wine we ask the kernel for that clock directly: a PE
// program under Wine runs on the Linux kernel, and Wine does not intercept the syscall instruction.
bool RunsUnderWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

#if defined(__x86_64__)
constexpr long kLinuxClockGettime = 228;
constexpr long kLinuxClockMonotonic = 1;

struct LinuxTimespec {
  std::int64_t seconds;
  std::int64_t nanoseconds;
};

bool ReadLinuxMonotonic(std::int64_t& microseconds) {
  LinuxTimespec now{};
  long result = 0;
  __asm__ __volatile__("syscall"
                       : "=a"(result)
                       : "a"(kLinuxClockGettime), "D"(kLinuxClockMonotonic), "S"(&now)
                       : "rcx", "r11", "memory");
  if (result != 0) return false;
  microseconds = now.seconds * 1000000 + now.nanoseconds / 1000;
  return true;
}
#else
bool ReadLinuxMonotonic(std::int64_t&) { return false; }
#endif

bool UsesLinuxMonotonic() {
  static const bool uses = [] {
    std::int64_t probe = 0;
    return RunsUnderWine() && ReadLinuxMonotonic(probe);
  }();
  return uses;
}

std::int64_t QpcMicroseconds() {
  LARGE_INTEGER frequency;
  LARGE_INTEGER counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return counter.QuadPart / frequency.QuadPart * 1000000 +
         counter.QuadPart % frequency.QuadPart * 1000000 / frequency.QuadPart;
}

}  // namespace

std::int64_t MonotonicMicroseconds() {
  std::int64_t microseconds = 0;
  if (UsesLinuxMonotonic() && ReadLinuxMonotonic(microseconds)) return microseconds;
  return QpcMicroseconds();
}

const char* MonotonicClockName() { return UsesLinuxMonotonic() ? "linux_monotonic" : "qpc"; }

}  // namespace velno_test
