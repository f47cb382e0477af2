#include <windows.h>

#include "command_line.h"
#include "driver_platform_win32.h"
#include "kernel_object_names.h"

namespace velno {

bool Win32StopSignal::OpenStopEvent() {
  // Launched by the service: the handle of its stop signal, inherited, which may only be waited on and
  // which nobody but the service can set. A driver that did not get it must not run unstoppable.
  if (const auto inherited = StopSignalFromCommandLine(GetCommandLineW())) {
    HANDLE handle = reinterpret_cast<HANDLE>(*inherited);
    if (WaitForSingleObject(handle, 0) == WAIT_FAILED) return false;
    stopEvent_ = handle;
    return true;
  }
  // Started by hand: the service's named event, which lets users only wait on it, or, with no service,
  // one it makes itself: manual reset, not signalled.
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
