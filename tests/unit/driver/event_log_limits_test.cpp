#include "event_log_limits.h"

#include <gtest/gtest.h>

#include "fake_platform.h"

namespace velno {
namespace {

constexpr std::uint64_t kMinute = 60000;
constexpr auto Found = LogEvent::BoardFound;
constexpr auto Lost = LogEvent::BoardLost;
constexpr auto Unhealthy = LogEvent::LinkUnhealthy;
constexpr auto Sum = LogEvent::BoardComesAndGoes;
using Entries = std::vector<std::pair<LogEvent, std::vector<std::wstring>>>;

// One step: an event of a port; without an event, the supervisor's pass that writes the sums due, or
// with `stopping` the driver's stop.
struct Step {
  std::uint64_t atMs;
  std::optional<LogEvent> event;
  std::wstring port = L"COM5";
  bool stopping = false;
};

// `times` unplugs and replugs, one every six seconds, then `then`.
std::vector<Step> Replugs(int times, std::initializer_list<Step> then) {
  std::vector<Step> steps;
  for (int k = 0; k < times; ++k) steps.insert(steps.end(), {{k * 6000u, Lost}, {k * 6000u + 3000, Found}});
  steps.insert(steps.end(), then);
  return steps;
}

TEST(EventLogLimits, RepeatedEventsAreSummedOrSpacedAndEverythingElsePassesOn) {
  const std::vector<std::wstring> com5 = {L"COM5"};
  const struct {
    const char* name;
    std::vector<Step> steps;
    Entries expected;
  } cases[] = {
      {"ten replugs in a minute: the first loss and return at once, the rest as one sum when ten minutes passed",
       Replugs(10, {{9 * kMinute, {}}, {10 * kMinute, {}}, {11 * kMinute, {}}}),
       {{Lost, com5}, {Found, com5}, {Sum, {L"COM5", L"9", L"9", L"10"}}}},
      {"a loss after the window: the sum first, then the loss at once", Replugs(2, {{12 * kMinute, Lost}}),
       {{Lost, com5}, {Found, com5}, {Sum, {L"COM5", L"1", L"1", L"10"}}, {Lost, com5}}},
      {"ports apart; a stop within a window tells what was counted",
       {{0, Lost}, {1000, Lost, L"COM7"}, {2000, Lost}, {3 * kMinute, {}, L"", true}},
       {{Lost, com5}, {Lost, {L"COM7"}}, {Sum, {L"COM5", L"1", L"0", L"3"}}}},
      {"a user's launches: the first at once, the rest summed; another user's first at once",
       {{0, LogEvent::DriverLaunched, L"PC\\teacher"}, {kMinute, LogEvent::DriverLaunched, L"PC\\teacher"},
        {2 * kMinute, LogEvent::DriverLaunched, L"PC\\pupil"}, {2 * kMinute, {}, L"", true}},
       {{LogEvent::DriverLaunched, {L"PC\\teacher"}}, {LogEvent::DriverLaunched, {L"PC\\pupil"}},
        {LogEvent::DriverRelaunched, {L"PC\\teacher", L"1", L"2"}}}},
      {"a bad link warned once an hour per port, across a reconnect",
       {{kMinute, Unhealthy}, {2 * kMinute, Lost}, {3 * kMinute, Found}, {4 * kMinute, Unhealthy},
        {61 * kMinute, Unhealthy}, {62 * kMinute, Unhealthy, L"COM7"}},
       {{Unhealthy, com5}, {Lost, com5}, {Found, com5}, {Unhealthy, com5}, {Unhealthy, {L"COM7"}}}},
      {"other events are not limited", {{0, LogEvent::CalibrationSaved}, {1, LogEvent::CalibrationSaved}},
       {{LogEvent::CalibrationSaved, com5}, {LogEvent::CalibrationSaved, com5}}},
  };
  for (const auto& c : cases) {
    testing::FakeClock clock;
    testing::RecordingEventLog recorded;
    LimitedEventLog log(recorded, [&clock] { return clock.ReadMonotonicMs(); });
    for (const Step& step : c.steps) {
      clock.nowMs = step.atMs;
      if (step.event) log.WriteEventLog(*step.event, {step.port});
      if (!step.event) log.WriteDueSums(step.stopping);
    }
    EXPECT_EQ(recorded.events, c.expected) << c.name;
  }
}

}  // namespace
}  // namespace velno
