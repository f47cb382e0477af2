#include "service_control.h"

#include <algorithm>
#include <string>

#include "kernel_object_names.h"

namespace velno {
namespace {

// Moves the service to `to` and reports it, but only from `from`; false when another thread got there
// first. A report never follows a later state's report, so the manager cannot see a stop undone.
bool MoveState(ServiceHost& host, ServiceState from, ServiceState to) {
  std::lock_guard lock(host.reportLock);
  if (host.state != from) return false;
  host.state = to;
  host.platform.ReportStatus(to, to == ServiceState::StopPending ? kStopWaitHintMs : 0, 0);
  return true;
}

void CloseStopEvent(ServiceHost& host) {
  std::lock_guard lock(host.reportLock);
  host.stopEventOpen = false;
  host.platform.CloseStopEvent();
}

void ReportStopped(ServiceHost& host, std::uint32_t exitCode) {
  std::lock_guard lock(host.reportLock);
  host.state = ServiceState::Stopped;
  host.platform.ReportStatus(ServiceState::Stopped, 0, exitCode);
}

// Launches a driver; a launch that failed is told once for each new error (`lastError`), since the
// service tries again every few seconds.
ProcessHandle Launch(ServiceHost& host, std::uint32_t& lastError) {
  const DriverLaunch launch = host.platform.LaunchDriver();
  if (launch.process != ProcessHandle::None) {
    lastError = 0;
    host.log.WriteEventLog(LogEvent::DriverLaunched, {launch.user, std::to_wstring(launch.session)});
  } else if (!launch.user.empty() && launch.error != lastError) {
    host.log.WriteEventLog(LogEvent::DriverLaunchFailed, {std::to_wstring(launch.session), launch.errorText});
    lastError = launch.error;
  }
  return launch.process;
}

}  // namespace

std::uint32_t WaitAfterDriverEnded(LaunchBackoff& backoff, std::uint64_t lifeMs) {
  if (lifeMs >= kShortDriverLifeMs) {
    backoff.nextWaitMs = kLaunchRetryMs;
    return kLaunchRetryMs;
  }
  const std::uint32_t wait = backoff.nextWaitMs;
  backoff.nextWaitMs = std::min(wait * 2, kLaunchBackoffMaxMs);
  return wait;
}

void RunService(ServiceHost& host) {
  ServicePlatform& platform = host.platform;
  {
    std::lock_guard lock(host.reportLock);
    platform.ReportStatus(host.state, host.state == ServiceState::StopPending ? kStopWaitHintMs : 0, 0);
  }
  if (const std::wstring why = platform.CreateStopSignal(); !why.empty()) {
    // Without it nothing could stop a driver; running on would only look like success.
    host.log.WriteEventLog(LogEvent::ServiceFailed, {L"its stop signal could not be made: " + why});
    ReportStopped(host, kExitNoStopSignal);
    return;
  }
  host.log.WriteEventLog(LogEvent::ServiceStarted, {});
  if (const std::wstring why = platform.ClaimStopEventName(); !why.empty()) {
    host.log.WriteEventLog(LogEvent::StopEventNameTaken, {kServiceStopEventName, why});
  }
  // A stop that came before the signal existed sets it now, and no driver starts.
  bool stopping = false;
  {
    std::lock_guard lock(host.reportLock);
    host.stopEventOpen = true;
    if (host.state != ServiceState::Running) {
      stopping = true;
      platform.SetStopEvent();
    }
  }

  std::uint32_t lastLaunchError = 0;
  std::uint32_t driverSession = platform.ConsoleSession();
  ProcessHandle driver = stopping ? ProcessHandle::None : Launch(host, lastLaunchError);
  std::uint64_t launchedAt = platform.NowMs();
  platform.SetStopEventAtExit();

  // Until a stop: while no driver it launched is alive (nobody was logged on, the user logged off, the
  // driver failed), launch one again; when another session takes the console (a user switch, a remote
  // session), end the driver of the old one and launch one in the new.
  LaunchBackoff backoff;
  std::uint32_t retryWaitMs = kLaunchRetryMs;
  for (;;) {
    const ServiceWake wake =
        platform.WaitForStopOrDriverEnd(driver, driver != ProcessHandle::None ? kSessionCheckMs : retryWaitMs);
    if (wake == ServiceWake::Stop) break;
    host.log.WriteDueSums(false);
    if (wake == ServiceWake::DriverEnded) {
      platform.CloseProcess(driver);
      driver = ProcessHandle::None;
      retryWaitMs = WaitAfterDriverEnded(backoff, platform.NowMs() - launchedAt);
      continue;
    }
    const std::uint32_t session = platform.ConsoleSession();
    if (driver != ProcessHandle::None) {
      if (session == driverSession) continue;  // a driver is alive at the console: never a second one
      platform.EndDriver(driver);
      platform.WaitForDriverEnd(driver, kDriverStopWaitMs);
      platform.CloseProcess(driver);
      driver = ProcessHandle::None;
      backoff = LaunchBackoff{};
    }
    driverSession = session;
    retryWaitMs = kLaunchRetryMs;
    if (session == kNoSession) continue;  // nobody at the console to launch a driver for
    driver = Launch(host, lastLaunchError);
    launchedAt = platform.NowMs();
  }

  // A stop completes once the driver has seen the signal and ended, so that a service started right
  // after it never meets a driver of this run; one that does not end in time is ended.
  MoveState(host, ServiceState::Running, ServiceState::StopPending);
  if (driver != ProcessHandle::None) {
    if (!platform.WaitForDriverEnd(driver, kDriverStopWaitMs)) platform.EndDriver(driver);
    platform.CloseProcess(driver);
  }
  host.log.WriteDueSums(true);
  CloseStopEvent(host);
  host.log.WriteEventLog(LogEvent::ServiceStopped, {});
  platform.Sleep(kServiceStopSleepMs);
  ReportStopped(host, 0);
}

void HandleServiceControl(ServiceHost& host, std::uint32_t control) {
  std::lock_guard lock(host.reportLock);
  if ((control == kControlStop || control == kControlShutdown) && host.state == ServiceState::Running) {
    host.state = ServiceState::StopPending;
    host.platform.ReportStatus(host.state, kStopWaitHintMs, 0);
    // Set under the lock: the service-main thread cannot close the handle in between.
    if (host.stopEventOpen) host.platform.SetStopEvent();
    return;
  }
  host.platform.ReportStatus(host.state, host.state == ServiceState::StopPending ? kStopWaitHintMs : 0, 0);
}

}  // namespace velno
