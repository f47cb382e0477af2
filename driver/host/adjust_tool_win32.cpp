// Whether the calibration tool runs: it holds its named hand-off event from start to end.
#include <windows.h>

#include "driver_platform_win32.h"

namespace velno {

bool Win32DriverPlatform::AdjustToolRunning() {
  HANDLE event = OpenEventW(SYNCHRONIZE, FALSE, L"Local\\Brelmar_Adjust_Event");
  if (event == nullptr) return false;
  CloseHandle(event);
  return true;
}

}  // namespace velno
