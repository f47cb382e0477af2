#include "service_control.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace velno {
namespace {

// What one wait of the service sees, and how long it lasted.
struct FakeWake {
  ServiceWake wake;
  std::uint64_t afterMs;
};

// Plays launches and wakes from scripts and writes every call into one trace. When the wakes run
// out, the stop event is set.
class FakeServicePlatform : public ServicePlatform {
 public:
  std::deque<bool> launches;  // each LaunchDriver: true starts a driver; none left: it starts
  std::deque<FakeWake> wakes;
  bool eventCreated = true;
  bool driverEndsOnStop = true;
  std::vector<std::string> trace;
  std::uint64_t now = 0;

  void ReportStatus(ServiceState state, std::uint32_t waitHintMs) override {
    trace.push_back("report " + std::to_string(static_cast<int>(state)) + " hint " + std::to_string(waitHintMs));
  }
  bool CreateStopEvent() override {
    trace.push_back(eventCreated ? "create event" : "create event fails");
    return eventCreated;
  }
  void SetStopEvent() override { trace.push_back("set event"); }
  void CloseStopEvent() override { trace.push_back("close event"); }
  void SetStopEventAtExit() override { trace.push_back("at exit"); }
  ProcessHandle LaunchDriver() override {
    const bool starts = launches.empty() || launches.front();
    if (!launches.empty()) launches.pop_front();
    if (!starts) {
      trace.push_back("launch fails");
      return ProcessHandle::None;
    }
    ++drivers_;
    trace.push_back("launch " + std::to_string(drivers_));
    return static_cast<ProcessHandle>(drivers_);
  }
  ServiceWake WaitForStopOrDriverEnd(ProcessHandle driver, std::uint32_t timeoutMs) override {
    trace.push_back("wait " + std::to_string(static_cast<int>(driver)) + " " +
                    (timeoutMs == kWaitForever ? std::string("forever") : std::to_string(timeoutMs)));
    if (wakes.empty()) return ServiceWake::Stop;
    const FakeWake next = wakes.front();
    wakes.pop_front();
    now += next.afterMs;
    return next.wake;
  }
  bool WaitForDriverEnd(ProcessHandle driver, std::uint32_t timeoutMs) override {
    trace.push_back("wait end " + std::to_string(static_cast<int>(driver)) + " " + std::to_string(timeoutMs));
    return driverEndsOnStop;
  }
  void CloseProcess(ProcessHandle driver) override {
    trace.push_back("close " + std::to_string(static_cast<int>(driver)));
  }
  std::uint64_t NowMs() override { return now; }
  void Sleep(std::uint32_t milliseconds) override { trace.push_back("sleep " + std::to_string(milliseconds)); }

 private:
  int drivers_ = 0;
};

const std::vector<std::string> kStart = {"report 4 hint 0", "create event"};
const std::string kPendingReport = "report 3 hint " + std::to_string(kStopWaitHintMs);

std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// Only the launches and the waits between them: what decides when a driver runs.
std::vector<std::string> LaunchesAndWaits(const std::vector<std::string>& trace) {
  std::vector<std::string> kept;
  for (const std::string& call : trace) {
    if (call.starts_with("launch") || (call.starts_with("wait ") && !call.starts_with("wait end"))) kept.push_back(call);
  }
  return kept;
}

struct RelaunchCase {
  const char* name;
  std::deque<bool> launches;
  std::deque<FakeWake> wakes;
  std::vector<std::string> expected;  // launches and waits up to the stop
};

TEST(ServiceRelaunch, KeepsOneDriverRunningAndBacksOffFromOneThatKeepsFailing) {
  constexpr auto Ended = ServiceWake::DriverEnded;
  constexpr auto Timeout = ServiceWake::TimedOut;
  const std::vector<RelaunchCase> cases = {
      {"a driver that runs until the stop", {}, {}, {"launch 1", "wait 1 forever"}},
      {"nobody logged on at first: tried every 2 s until a shell runs",
       {false, false, false},
       {{Timeout, 2000}, {Timeout, 2000}, {Timeout, 2000}},
       {"launch fails", "wait 0 2000", "launch fails", "wait 0 2000", "launch fails", "wait 0 2000", "launch 1",
        "wait 1 forever"}},
      {"a driver that ends at once: the wait doubles up to a minute",
       {},
       {{Ended, 300}, {Timeout, 2000}, {Ended, 300}, {Timeout, 4000}, {Ended, 300}, {Timeout, 8000},
        {Ended, 300}, {Timeout, 16000}, {Ended, 300}, {Timeout, 32000}, {Ended, 300}, {Timeout, 60000},
        {Ended, 300}, {Timeout, 60000}},
       {"launch 1", "wait 1 forever", "wait 0 2000", "launch 2", "wait 2 forever", "wait 0 4000", "launch 3",
        "wait 3 forever", "wait 0 8000", "launch 4", "wait 4 forever", "wait 0 16000", "launch 5",
        "wait 5 forever", "wait 0 32000", "launch 6", "wait 6 forever", "wait 0 60000", "launch 7",
        "wait 7 forever", "wait 0 60000", "launch 8", "wait 8 forever"}},
      {"a log-off after a long run: launched every 2 s again, the back-off forgotten",
       {true, true, true, false, true},
       {{Ended, 500}, {Timeout, 2000}, {Ended, 500}, {Timeout, 4000}, {Ended, 3600000}, {Timeout, 2000},
        {Timeout, 2000}, {Ended, 500}},
       {"launch 1", "wait 1 forever", "wait 0 2000", "launch 2", "wait 2 forever", "wait 0 4000", "launch 3",
        "wait 3 forever", "wait 0 2000", "launch fails", "wait 0 2000", "launch 4", "wait 4 forever",
        "wait 0 2000"}},
      {"a wait that ends early while the driver lives starts no second driver",
       {},
       {{Timeout, 10}, {Timeout, 10}},
       {"launch 1", "wait 1 forever", "wait 1 forever", "wait 1 forever"}},
  };
  for (const RelaunchCase& c : cases) {
    FakeServicePlatform platform;
    platform.launches = c.launches;
    platform.wakes = c.wakes;
    ServiceHost host(platform);
    RunService(host);
    EXPECT_EQ(LaunchesAndWaits(platform.trace), c.expected) << c.name;
    EXPECT_EQ(host.state, ServiceState::Stopped) << c.name;
  }
}

TEST(ServiceStop, CompletesOnlyOnceTheDriverHasEnded) {
  struct StopCase {
    const char* name;
    std::deque<bool> launches;
    std::vector<std::string> expected;
  };
  const std::vector<StopCase> cases = {
      {"with a driver: waits for it up to 10 s, then reports stopped",
       {},
       Join(kStart, {"launch 1", "at exit", "wait 1 forever", kPendingReport, "wait end 1 10000", "close 1",
                     "close event", "sleep 200", "report 1 hint 0"})},
      {"without a driver: nothing to wait for",
       {false},
       Join(kStart, {"launch fails", "at exit", "wait 0 2000", kPendingReport, "close event", "sleep 200",
                     "report 1 hint 0"})},
  };
  for (const StopCase& c : cases) {
    FakeServicePlatform platform;
    platform.launches = c.launches;
    ServiceHost host(platform);
    RunService(host);
    EXPECT_EQ(platform.trace, c.expected) << c.name;
  }
}

TEST(ServiceStop, AServiceWithoutItsEventReportsStoppedAndLaunchesNothing) {
  FakeServicePlatform platform;
  platform.eventCreated = false;
  ServiceHost host(platform);
  RunService(host);
  EXPECT_EQ(platform.trace, (std::vector<std::string>{"report 4 hint 0", "create event fails", "report 1 hint 0"}));
}

TEST(ServiceControl, AStopIsReportedPendingOnceAndOtherControlsReportTheState) {
  struct ControlCase {
    const char* name;
    ServiceState before;
    std::uint32_t control;
    std::vector<std::string> expected;
    ServiceState after;
  };
  const std::vector<ControlCase> cases = {
      {"stop", ServiceState::Running, kControlStop, {kPendingReport, "set event"}, ServiceState::StopPending},
      {"shutdown", ServiceState::Running, kControlShutdown, {kPendingReport, "set event"},
       ServiceState::StopPending},
      {"interrogate while running", ServiceState::Running, 4, {"report 4 hint 0"}, ServiceState::Running},
      {"a second stop while stopping", ServiceState::StopPending, kControlStop, {kPendingReport},
       ServiceState::StopPending},
      {"interrogate after the stop", ServiceState::Stopped, 4, {"report 1 hint 0"}, ServiceState::Stopped},
  };
  for (const ControlCase& c : cases) {
    FakeServicePlatform platform;
    ServiceHost host(platform);
    host.state = c.before;
    HandleServiceControl(host, c.control);
    EXPECT_EQ(platform.trace, c.expected) << c.name;
    EXPECT_EQ(host.state, c.after) << c.name;
  }
}

TEST(ServiceControl, AStopBeforeTheEventExistedStillStopsTheService) {
  FakeServicePlatform platform;
  ServiceHost host(platform);
  HandleServiceControl(host, kControlStop);
  platform.trace.clear();
  RunService(host);
  EXPECT_EQ(platform.trace, (std::vector<std::string>{kPendingReport, "create event", "set event", "at exit",
                                                      "wait 0 2000", "close event", "sleep 200",
                                                      "report 1 hint 0"}));
}

}  // namespace
}  // namespace velno
