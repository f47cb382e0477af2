#include <windows.h>

#include "driver_platform_win32.h"
#include "kernel_object_names.h"

namespace velno {

bool Win32StopSignal::OpenStopEvent() {
  // Launched by the service, the event exists and lets users only wait on it, which is all the driver
  // does with it. A driver run by itself, with no service, makes it: manual reset, not signalled.
  stopEvent_ = OpenEventW(SYNCHRONIZE, FALSE, kServiceStopEventName);
  if (stopEvent_ == nullptr) stopEvent_ = CreateEventW(nullptr, TRUE, FALSE, kServiceStopEventName);
  return stopEvent_ != nullptr;
}

bool Win32StopSignal::StopEventSignalled() { return WaitForSingleObject(stopEvent_, 0) != WAIT_TIMEOUT; }

void Win32StopSignal::CloseStopEvent() {
  if (stopEvent_ != nullptr) CloseHandle(stopEvent_);
  stopEvent_ = nullptr;
}

}  // namespace velno
