// cursor_probe.exe <logfile>: where the system puts the cursor, for positions no window of the test can
// see (injected input beyond the edge of the only screen is clamped to it). Polls GetCursorPos every
// millisecond and writes a line each time it changes, written through:
//   ready t_us=... screen_w=1280 screen_h=1024
//   cursor x=640 y=1023 t_us=...
// t_us as in linux_monotonic_clock.h. Runs until it is ended.
#include <windows.h>

#include <cstdio>

#include "linux_monotonic_clock.h"

namespace {

void WriteLine(HANDLE log, const char* text, int length) {
  DWORD written = 0;
  WriteFile(log, text, static_cast<DWORD>(length), &written, nullptr);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  HANDLE log = CreateFileW(argv[1], GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
  if (log == INVALID_HANDLE_VALUE) return 2;
  char line[128];
  POINT last{};
  GetCursorPos(&last);
  WriteLine(log, line,
            std::snprintf(line, sizeof line, "ready t_us=%lld screen_w=%d screen_h=%d\n",
                          static_cast<long long>(velno_test::MonotonicMicroseconds()), GetSystemMetrics(SM_CXSCREEN),
                          GetSystemMetrics(SM_CYSCREEN)));
  for (;;) {
    POINT now{};
    if (GetCursorPos(&now) && (now.x != last.x || now.y != last.y)) {
      last = now;
      WriteLine(log, line,
                std::snprintf(line, sizeof line, "cursor x=%ld y=%ld t_us=%lld\n", now.x, now.y,
                              static_cast<long long>(velno_test::MonotonicMicroseconds())));
    }
    Sleep(1);
  }
}
