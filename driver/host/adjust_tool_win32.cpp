// Whether the calibration tool runs: it holds its named hand-off event from start to end.
#include <windows.h>

#include "driver_platform_win32.h"
#include "kernel_object_names.h"

namespace velno {

bool Win32ToolPresence::AdjustToolRunning() {
  HANDLE event = OpenEventW(SYNCHRONIZE, FALSE, kAdjustHandOffEventName);
  if (event == nullptr) return false;
  CloseHandle(event);
  return true;
}

}  // namespace velno
