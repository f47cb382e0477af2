// Whether the program that drives a capture run is there: it holds the run's named event.
#include <windows.h>

#include "driver_platform_win32.h"
#include "kernel_object_names.h"

namespace velno {

bool Win32ToolPresence::RunToolPresent(CaptureRun run) {
  HANDLE event = OpenEventW(SYNCHRONIZE, FALSE, run == CaptureRun::Point ? kPointRunEventName : kButtonRunEventName);
  if (event == nullptr) return false;
  CloseHandle(event);
  return true;
}

}  // namespace velno
