// What the service needs from the platform: its status reports, the stop event it shares with the
// user-session driver, and the driver processes it launches. The Win32 side implements it for the
// service manager; unit tests implement it with a recording fake.
#pragma once

#include <cstdint>

#include "platform/log_events.h"

namespace velno {

// The service states as the service manager knows them (SERVICE_STOPPED, ...).
enum class ServiceState : std::uint32_t { Stopped = 1, StopPending = 3, Running = 4 };

enum class ProcessHandle : std::uintptr_t { None = 0 };

// Why a wait of the service ended.
enum class ServiceWake { Stop, DriverEnded, TimedOut };

inline constexpr std::uint32_t kWaitForever = 0xFFFFFFFF;
inline constexpr std::uint32_t kNoSession = 0xFFFFFFFF;

class ServicePlatform {
 public:
  virtual ~ServicePlatform() = default;

  // One status report to the service manager: the state and, for a pending state, how long the next
  // step may take.
  virtual void ReportStatus(ServiceState state, std::uint32_t waitHintMs) = 0;

  // The service's stop event (kernel_object_names.h): created or opened, given its access list (every account
  // may wait on it, only SYSTEM and administrators may set it), and reset, so that a signal left from an
  // earlier stop cannot stop this run. False when it cannot be created or secured.
  virtual bool CreateStopEvent() = 0;
  virtual void SetStopEvent() = 0;
  virtual void CloseStopEvent() = 0;
  // Sets the stop event at the process's normal exit too (an atexit handler).
  virtual void SetStopEventAtExit() = 0;

  // Starts "<own program> /service" in the console session as its user (the identity of the session's
  // shell, else the session's own user token); None when that fails (nobody logged on, a failed process
  // creation).
  virtual ProcessHandle LaunchDriver() = 0;
  // Waits until the stop event is set, `driver` (when not None) ends, or the time-out passes.
  virtual ServiceWake WaitForStopOrDriverEnd(ProcessHandle driver, std::uint32_t timeoutMs) = 0;
  // Waits up to the time-out for the driver to end; true when it has.
  virtual bool WaitForDriverEnd(ProcessHandle driver, std::uint32_t timeoutMs) = 0;
  virtual void CloseProcess(ProcessHandle driver) = 0;

  virtual std::uint64_t NowMs() = 0;
  virtual void Sleep(std::uint32_t milliseconds) = 0;

  // The Windows event log: an event of the service itself (started, stopped), without words.
  virtual void WriteEventLog(LogEvent event) = 0;

  // User switching: the session attached to the physical console now (kNoSession when none is), and
  // the end of a driver whose session left the console, so that the port is free for the next one.
  virtual std::uint32_t ConsoleSession() = 0;
  virtual void EndDriver(ProcessHandle driver) = 0;
};

}  // namespace velno
