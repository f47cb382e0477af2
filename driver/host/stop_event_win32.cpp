#include <windows.h>

#include "driver_platform_win32.h"

namespace velno {

namespace {

constexpr const wchar_t* kStopEventName = L"Global\\Brelmar_Service";

}  // namespace

bool Win32DriverPlatform::OpenStopEvent() {
  // Launched by the service, the event exists and lets users only wait on it, which is all the driver
  // does with it. A driver run by itself, with no service, makes it: manual reset, not signalled.
  stopEvent_ = OpenEventW(SYNCHRONIZE, FALSE, kStopEventName);
  if (stopEvent_ == nullptr) stopEvent_ = CreateEventW(nullptr, TRUE, FALSE, kStopEventName);
  return stopEvent_ != nullptr;
}

bool Win32DriverPlatform::StopEventSignalled() { return WaitForSingleObject(stopEvent_, 0) != WAIT_TIMEOUT; }

void Win32DriverPlatform::CloseStopEvent() {
  if (stopEvent_ != nullptr) CloseHandle(stopEvent_);
  stopEvent_ = nullptr;
}

}  // namespace velno
