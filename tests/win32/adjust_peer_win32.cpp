// adjust_peer.exe <logfile> <adjust type> [milliseconds per target]: the calibration tool's side of a
// point run, through Velno.dll as the tool drives it. It stores the adjust type (point count in the low
// 16 bits, screen flag in the high 16), shows target 1, and each time the driver answers with index 0
// shows the next one; after the last answer it stops the run. One line per step, written through:
//   showing k=1 t_us=...        the index was set to k
//   acknowledged k=1 t_us=...   the driver's 0 was seen while k was shown
//   done t_us=...               StopAdjust called after the last target
//   timeout k=3 t_us=...        no answer in time; the run is stopped, exit code 1
// t_us as in linux_monotonic_clock.h. The index is polled every millisecond.
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cwchar>

#include "board_facts.h"
#include "linux_monotonic_clock.h"

namespace {

using Get = int (*)();
using Set = int (*)(int);

HANDLE g_log = INVALID_HANDLE_VALUE;

template <typename Function>
Function Resolve(HMODULE library, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

void LogLine(const char* format, ...) {
  char line[128];
  va_list arguments;
  va_start(arguments, format);
  int length = std::vsnprintf(line, sizeof line - 32, format, arguments);
  va_end(arguments);
  if (length <= 0) return;
  const auto now = static_cast<long long>(velno_test::MonotonicMicroseconds());
  length += std::snprintf(line + length, 32, " t_us=%lld\n", now);
  DWORD written = 0;
  WriteFile(g_log, line, static_cast<DWORD>(length), &written, nullptr);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  g_log = CreateFileW(argv[1], GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (g_log == INVALID_HANDLE_VALUE) return 2;
  const int adjustType = static_cast<int>(std::wcstoul(argv[2], nullptr, 0));
  const int count = static_cast<int>(velno::DecodeAdjustType(adjustType).pointCount);
  const DWORD perTargetMs = argc > 3 ? std::wcstoul(argv[3], nullptr, 0) : 20000;

  HMODULE library = LoadLibraryW(L"Velno.dll");
  if (library == nullptr) return 3;
  const auto setType = Resolve<Set>(library, "SetAdjustType");
  const auto setIndex = Resolve<Set>(library, "SetAdjustCurrentIndex");
  const auto getIndex = Resolve<Get>(library, "GetAdjustCurrentIndex");
  const auto stop = Resolve<Get>(library, "StopAdjust");
  if (setType == nullptr || setIndex == nullptr || getIndex == nullptr || stop == nullptr) return 4;

  setType(adjustType);
  for (int k = 1; k <= count; ++k) {
    setIndex(k);
    LogLine("showing k=%d", k);
    const ULONGLONG deadline = GetTickCount64() + perTargetMs;
    while (getIndex() != 0) {
      if (GetTickCount64() > deadline) {
        stop();
        LogLine("timeout k=%d", k);
        return 1;
      }
      Sleep(1);
    }
    LogLine("acknowledged k=%d", k);
  }
  stop();
  LogLine("done");
  return 0;
}
