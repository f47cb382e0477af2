#include "service_control.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace velno {
namespace {

using Trace = std::vector<std::string>;

// Plays launches (none left: a driver starts for PC\teacher) and wakes (each with how long the wait
// lasted; none left: the stop signal is set), and writes every call into one trace.
class FakeServicePlatform : public ServicePlatform {
 public:
  std::deque<bool> launches;
  std::deque<std::pair<ServiceWake, std::uint64_t>> wakes;
  std::wstring signalFailure;   // why CreateStopSignal fails; empty: it works
  bool driversEndOnStop = true;
  std::deque<std::uint32_t> sessions;  // the console's session at each look; none left: the last one
  Trace trace;

  void ReportStatus(ServiceState state, std::uint32_t hintMs, std::uint32_t exitCode) override {
    Log("report " + std::to_string(static_cast<int>(state)) + (hintMs != 0 ? " pending" : "") +
        (exitCode != 0 ? " exit " + std::to_string(exitCode) : ""));
  }
  std::wstring CreateStopSignal() override { return Log("create signal"), signalFailure; }
  std::wstring ClaimStopEventName() override { return Log("claim name"), L""; }
  void SetStopEvent() override { Log("set event"); }
  void CloseStopEvent() override { Log("close event"); }
  void SetStopEventAtExit() override { Log("at exit"); }
  DriverLaunch LaunchDriver() override {
    const bool starts = launches.empty() || launches.front();
    if (!launches.empty()) launches.pop_front();
    Log(starts ? "launch " + std::to_string(++drivers_) : "launch fails");
    return {static_cast<ProcessHandle>(starts ? drivers_ : 0), 1, starts ? L"PC\\teacher" : L"", 0, L""};
  }
  ServiceWake WaitForStopOrDriverEnd(ProcessHandle driver, std::uint32_t timeoutMs) override {
    Log("wait " + std::to_string(static_cast<int>(driver)) + " " +
        std::to_string(timeoutMs));
    if (wakes.empty()) return ServiceWake::Stop;
    const auto [wake, lastedMs] = wakes.front();
    wakes.pop_front();
    now_ += lastedMs;
    return wake;
  }
  bool WaitForDriverEnd(ProcessHandle driver, std::uint32_t timeoutMs) override {
    Log("wait end " + std::to_string(static_cast<int>(driver)) + " " + std::to_string(timeoutMs));
    return driversEndOnStop;
  }
  void CloseProcess(ProcessHandle driver) override { Log("close " + std::to_string(static_cast<int>(driver))); }
  std::uint64_t NowMs() override { return now_; }
  void Sleep(std::uint32_t ms) override { Log("sleep " + std::to_string(ms)); }
  std::uint32_t ConsoleSession() override {
    if (sessions.size() > 1) {
      const std::uint32_t session = sessions.front();
      sessions.pop_front();
      return session;
    }
    return sessions.empty() ? 1 : sessions.front();
  }
  void EndDriver(ProcessHandle driver) override { Log("end " + std::to_string(static_cast<int>(driver))); }
  void WriteEventLog(LogEvent event, const std::vector<std::wstring>& words) override {
    std::string line = "log " + std::to_string(static_cast<std::uint32_t>(event) & 0xFFFF);
    for (const std::wstring& word : words) line += " " + std::string(word.begin(), word.end());
    Log(line);
  }

 private:
  void Log(std::string call) { trace.push_back(std::move(call)); }
  int drivers_ = 0;
  std::uint64_t now_ = 0;
};

// The launches and the waits between them: what decides when a driver runs.
Trace LaunchesAndWaits(const Trace& trace) {
  Trace kept;
  for (const std::string& call : trace) {
    if (call.starts_with("launch") || (call.starts_with("wait ") && !call.starts_with("wait end"))) kept.push_back(call);
  }
  return kept;
}

// The calls about drivers: launched, waited on, ended and closed, up to the stop.
Trace DriverCalls(const Trace& trace) {
  Trace kept;
  for (const std::string& call : trace) {
    if (call.starts_with("report 3")) break;
    const bool aboutDrivers = call.starts_with("launch") || call.starts_with("wait") || call.starts_with("end") ||
                              call.starts_with("close");
    if (aboutDrivers) kept.push_back(call);
  }
  return kept;
}

TEST(ServiceSessions, TheDriverFollowsTheConsoleFromSessionToSession) {
  constexpr auto Out = ServiceWake::TimedOut;
  const struct {
    const char* name;
    std::deque<std::uint32_t> sessions;
    std::deque<std::pair<ServiceWake, std::uint64_t>> wakes;
    Trace expected;
  } cases[] = {
      {"the same session at the console: the driver stays", {1}, {{Out, 1000}, {Out, 1000}},
       {"launch 1", "wait 1 1000", "wait 1 1000", "wait 1 1000"}},
      {"a user switch: the old session's driver ends, one starts in the new",
       {1, 1, 2}, {{Out, 1000}, {Out, 1000}},
       {"launch 1", "wait 1 1000", "wait 1 1000", "end 1", "wait end 1 10000", "close 1", "launch 2", "wait 2 1000"}},
      {"nobody at the console for a moment: ended, then launched when someone is",
       {1, kNoSession, 3}, {{Out, 1000}, {Out, 2000}},
       {"launch 1", "wait 1 1000", "end 1", "wait end 1 10000", "close 1", "wait 0 2000", "launch 2",
        "wait 2 1000"}},
  };
  for (const auto& c : cases) {
    FakeServicePlatform platform;
    platform.sessions = c.sessions;
    platform.wakes = c.wakes;
    ServiceHost host(platform);
    RunService(host);
    EXPECT_EQ(DriverCalls(platform.trace), c.expected) << c.name;
  }
}

TEST(ServiceRelaunch, KeepsOneDriverRunningAndBacksOffFromOneThatKeepsFailing) {
  constexpr auto End = ServiceWake::DriverEnded;
  constexpr auto Out = ServiceWake::TimedOut;
  const struct {
    const char* name;
    std::deque<bool> launches;
    std::deque<std::pair<ServiceWake, std::uint64_t>> wakes;
    Trace expected;
  } cases[] = {
      {"nobody logged on at first: tried every 2 s", {false, false}, {{Out, 2000}, {Out, 2000}},
       {"launch fails", "wait 0 2000", "launch fails", "wait 0 2000", "launch 1", "wait 1 1000"}},
      {"a driver that ends at once: the wait doubles up to a minute", {},
       {{End, 300}, {Out, 0}, {End, 300}, {Out, 0}, {End, 300}, {Out, 0}, {End, 300}, {Out, 0}, {End, 300},
        {Out, 0}, {End, 300}, {Out, 0}, {End, 300}},
       {"launch 1", "wait 1 1000", "wait 0 2000", "launch 2", "wait 2 1000", "wait 0 4000", "launch 3",
        "wait 3 1000", "wait 0 8000", "launch 4", "wait 4 1000", "wait 0 16000", "launch 5", "wait 5 1000",
        "wait 0 32000", "launch 6", "wait 6 1000", "wait 0 60000", "launch 7", "wait 7 1000",
        "wait 0 60000"}},
      {"a log-off after a long run: every 2 s again, the back-off forgotten", {true, true, true, false},
       {{End, 300}, {Out, 0}, {End, 300}, {Out, 0}, {End, 3600000}, {Out, 0}, {Out, 0}, {End, 300}},
       {"launch 1", "wait 1 1000", "wait 0 2000", "launch 2", "wait 2 1000", "wait 0 4000", "launch 3",
        "wait 3 1000", "wait 0 2000", "launch fails", "wait 0 2000", "launch 4", "wait 4 1000",
        "wait 0 2000"}},
      {"a wait that ends early while the driver lives starts no second one", {}, {{Out, 10}},
       {"launch 1", "wait 1 1000", "wait 1 1000"}},
  };
  for (const auto& c : cases) {
    FakeServicePlatform platform;
    platform.launches = c.launches;
    platform.wakes = c.wakes;
    ServiceHost host(platform);
    RunService(host);
    EXPECT_EQ(LaunchesAndWaits(platform.trace), c.expected) << c.name;
  }
}

TEST(ServiceStop, CompletesOnlyOnceTheDriverHasEndedAndAnyOtherEndIsAFailure) {
  const struct {
    const char* name;
    bool launches;
    std::wstring signalFailure;
    bool driverEnds;
    bool stoppedFirst;  // a stop control came before the signal existed
    Trace expected;
  } cases[] = {
      {"with a driver: waits up to 10 s for it", true, L"", true, false,
       {"report 4", "create signal", "log 100", "claim name", "launch 1", "log 102 PC\\teacher 1", "at exit",
        "wait 1 1000", "report 3 pending", "wait end 1 10000", "close 1", "close event", "log 101", "sleep 200",
        "report 1"}},
      {"a driver that does not end in time is ended", true, L"", false, false,
       {"report 4", "create signal", "log 100", "claim name", "launch 1", "log 102 PC\\teacher 1", "at exit",
        "wait 1 1000", "report 3 pending", "wait end 1 10000", "end 1", "close 1", "close event", "log 101",
        "sleep 200", "report 1"}},
      {"without a driver", false, L"", true, false,
       {"report 4", "create signal", "log 100", "claim name", "launch fails", "at exit", "wait 0 2000",
        "report 3 pending", "close event", "log 101", "sleep 200", "report 1"}},
      {"without its stop signal: a failure, with its own exit code, told", true, L"no memory", true, false,
       {"report 4", "create signal", "log 117 its stop signal could not be made: no memory", "report 1 exit 1"}},
      {"stopped before the signal existed: the signal is set once it exists", true, L"", true, true,
       {"report 3 pending", "report 3 pending", "create signal", "log 100", "claim name", "set event", "at exit",
        "wait 0 2000", "close event", "log 101", "sleep 200", "report 1"}},
  };
  for (const auto& c : cases) {
    FakeServicePlatform platform;
    platform.launches = {c.launches};
    platform.signalFailure = c.signalFailure;
    platform.driversEndOnStop = c.driverEnds;
    ServiceHost host(platform);
    if (c.stoppedFirst) HandleServiceControl(host, kControlStop);
    RunService(host);
    EXPECT_EQ(platform.trace, c.expected) << c.name;
    EXPECT_EQ(host.state, ServiceState::Stopped) << c.name;
  }
}

TEST(ServiceControl, AStopIsReportedPendingOnceAndSetsTheEventOnlyWhileItIsOpen) {
  const struct {
    ServiceState before;
    bool eventOpen;
    std::uint32_t control;
    Trace expected;
  } cases[] = {
      {ServiceState::Running, true, kControlStop, {"report 3 pending", "set event"}},
      {ServiceState::Running, true, kControlShutdown, {"report 3 pending", "set event"}},
      // Before the service made its event, or after it closed it: the handle is not used.
      {ServiceState::Running, false, kControlStop, {"report 3 pending"}},
      {ServiceState::Running, true, 4, {"report 4"}},  // interrogate
      {ServiceState::StopPending, true, kControlStop, {"report 3 pending"}},
      {ServiceState::Stopped, false, 4, {"report 1"}},
  };
  for (const auto& c : cases) {
    FakeServicePlatform platform;
    ServiceHost host(platform);
    host.state = c.before;
    host.stopEventOpen = c.eventOpen;
    HandleServiceControl(host, c.control);
    EXPECT_EQ(platform.trace, c.expected) << static_cast<int>(c.before) << " " << c.control;
  }
}

}  // namespace
}  // namespace velno
