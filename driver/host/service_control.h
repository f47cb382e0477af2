// The service: launches the pen-input driver in the console user's session, launches it again while
// none runs, and stops it through its stop signal.
#pragma once

#include <cstdint>
#include <mutex>

#include "event_log_limits.h"
#include "service_platform.h"

namespace velno {

// A launch that found no user's shell is tried again after this long.
inline constexpr std::uint32_t kLaunchRetryMs = 2000;
// A driver that ends sooner than this after its launch is failing (a missing library, say): each such
// end doubles the wait before the next launch, up to kLaunchBackoffMaxMs.
inline constexpr std::uint64_t kShortDriverLifeMs = 10000;
inline constexpr std::uint32_t kLaunchBackoffMaxMs = 60000;
// While a driver runs, the service looks this often whether another session has taken the console.
inline constexpr std::uint32_t kSessionCheckMs = 1000;
// A stop waits this long for the driver to see the event and end (it looks once per pass).
inline constexpr std::uint32_t kDriverStopWaitMs = 10000;
inline constexpr std::uint32_t kServiceStopSleepMs = 200;
inline constexpr std::uint32_t kStopWaitHintMs = kDriverStopWaitMs + 2 * kServiceStopSleepMs + 1000;

// The service-specific exit code of a service that ended other than by a stop request, so that the
// service manager counts a failure and its recovery actions (a restart) apply: no stop signal.
inline constexpr std::uint32_t kExitNoStopSignal = 1;

// The service manager's control codes the service answers to.
inline constexpr std::uint32_t kControlStop = 1;
inline constexpr std::uint32_t kControlShutdown = 5;

// When to launch the driver again after one it launched has ended.
struct LaunchBackoff {
  std::uint32_t nextWaitMs = kLaunchRetryMs;
};

// The wait before the next launch, for a driver that lived `lifeMs`; a long life starts afresh.
std::uint32_t WaitAfterDriverEnded(LaunchBackoff& backoff, std::uint64_t lifeMs);

// The service process's shared state: the dispatcher thread's control handler and the service-main
// thread meet here.
struct ServiceHost {
  explicit ServiceHost(ServicePlatform& p) : platform(p) {}

  ServicePlatform& platform;
  // The platform's event log behind the limits of repeated events (a user's launches summed).
  LimitedEventLog log{platform, [this] { return platform.NowMs(); }};
  // The state last reported; a report and the change it reports happen under the lock.
  std::mutex reportLock;
  ServiceState state = ServiceState::Running;
  // Whether the stop event's handle is open, under the same lock: the control handler sets the event
  // only while it is, so it never uses a handle the service-main thread has closed.
  bool stopEventOpen = false;
};

// The service's main function: reports running, keeps one driver running in the console user's session
// (ending it and launching one in the new session when the console changes hands) until the stop signal
// is set, then waits for that driver to end (ending it when it does not) and reports stopped. Tells the
// event log of the launches (summed by the log's limits), of a failed launch once for each new error, and
// why it ended when that was no stop request.
void RunService(ServiceHost& host);

// The control handler: a stop or shutdown sets the stop event and reports a pending stop; any other
// control reports the current state.
void HandleServiceControl(ServiceHost& host, std::uint32_t control);

}  // namespace velno
