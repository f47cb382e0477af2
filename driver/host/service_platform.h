// What the service needs from the platform: its status reports, the stop signal it shares with the
// user-session driver, and the driver processes it launches. The Win32 side implements it for the
// service manager; unit tests implement it with a recording fake.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/event_log.h"

namespace velno {

// The service states as the service manager knows them (SERVICE_STOPPED, ...).
enum class ServiceState : std::uint32_t { Stopped = 1, StopPending = 3, Running = 4 };

enum class ProcessHandle : std::uintptr_t { None = 0 };

// Why a wait of the service ended.
enum class ServiceWake { Stop, DriverEnded, TimedOut };

inline constexpr std::uint32_t kWaitForever = 0xFFFFFFFF;
inline constexpr std::uint32_t kNoSession = 0xFFFFFFFF;

// How a launch went.
struct DriverLaunch {
  ProcessHandle process = ProcessHandle::None;
  std::uint32_t session = 0;
  std::wstring user;          // "DOMAIN\name"; empty when nobody is logged on at the console
  std::uint32_t error = 0;    // why the process could not be created
  std::wstring errorText;
};

// The Windows event log is the EventLog role's.
class ServicePlatform : public EventLog {
 public:

  // One status report to the service manager: the state, for a pending state how long the next step may
  // take, and for a service that ended other than by a stop request its own non-zero exit code.
  virtual void ReportStatus(ServiceState state, std::uint32_t waitHintMs, std::uint32_t exitCode) = 0;

  // The stop signal: an event without a name, which no account but SYSTEM and the administrators may set,
  // and which every driver the service launches may only wait on. Empty, or why it could not be made.
  virtual std::wstring CreateStopSignal() = 0;
  // The named stop event (kernel_object_names.h), which drivers started by hand watch: made with an access
  // list that lets everyone else only wait on it, or an earlier one of the system's or an administrator's
  // taken over and reset. Never one that another account made first (it could set it): empty when the
  // service holds the name, else why it does not use that object.
  virtual std::wstring ClaimStopEventName() = 0;
  // Sets the stop signal and the named event the service holds.
  virtual void SetStopEvent() = 0;
  virtual void CloseStopEvent() = 0;
  // Sets them at the process's normal exit too (an atexit handler).
  virtual void SetStopEventAtExit() = 0;

  // Starts "<own program> /service" in the console session as its user (the identity of the session's
  // shell, else the session's own user token), handing it the stop signal, in a job that ends it when
  // this service process ends, however that happens.
  virtual DriverLaunch LaunchDriver() = 0;
  // Waits until the stop signal is set, `driver` (when not None) ends, or the time-out passes.
  virtual ServiceWake WaitForStopOrDriverEnd(ProcessHandle driver, std::uint32_t timeoutMs) = 0;
  // Waits up to the time-out for the driver to end; true when it has.
  virtual bool WaitForDriverEnd(ProcessHandle driver, std::uint32_t timeoutMs) = 0;
  virtual void CloseProcess(ProcessHandle driver) = 0;
  // Ends a driver outright: one whose session left the console, or one that did not see a stop.
  virtual void EndDriver(ProcessHandle driver) = 0;

  // Monotonic milliseconds.
  virtual std::uint64_t NowMs() = 0;
  virtual void Sleep(std::uint32_t milliseconds) = 0;

  // User switching: the session attached to the physical console now (kNoSession when none is).
  virtual std::uint32_t ConsoleSession() = 0;
};

}  // namespace velno
