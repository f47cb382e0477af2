#include <windows.h>

#include "driver_platform_win32.h"

namespace velno {

bool Win32DriverPlatform::OpenStopEvent() {
  // Manual reset, not signalled; the service has usually created it already and this opens it.
  stopEvent_ = CreateEventW(nullptr, TRUE, FALSE, L"Global\\Brelmar_Service");
  return stopEvent_ != nullptr;
}

bool Win32DriverPlatform::StopEventSignalled() { return WaitForSingleObject(stopEvent_, 0) != WAIT_TIMEOUT; }

void Win32DriverPlatform::CloseStopEvent() {
  if (stopEvent_ != nullptr) CloseHandle(stopEvent_);
  stopEvent_ = nullptr;
}

}  // namespace velno
