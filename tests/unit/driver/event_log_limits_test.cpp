#include "event_log_limits.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_platform.h"

namespace velno {
namespace {

constexpr std::uint64_t kMinute = 60000;
constexpr auto Found = LogEvent::BoardFound;
constexpr auto Lost = LogEvent::BoardLost;
constexpr auto Unhealthy = LogEvent::LinkUnhealthy;
constexpr auto Sum = LogEvent::BoardComesAndGoes;

// One step of a case: an event of a port, or (with no event) the supervisor's pass that writes the sums
// that are due, or the driver's stop.
struct Step {
  std::uint64_t atMs;
  std::optional<LogEvent> event;
  std::wstring port = L"COM5";
  bool stopping = false;
};
using Entries = std::vector<std::pair<LogEvent, std::vector<std::wstring>>>;

Step Pass(std::uint64_t atMs) { return {atMs, std::nullopt}; }
Step Stop(std::uint64_t atMs) { return {atMs, std::nullopt, L"", true}; }
// `times` unplugs and replugs from `fromMs` on, one every six seconds.
std::vector<Step> Replugs(std::uint64_t fromMs, int times) {
  std::vector<Step> steps;
  for (int k = 0; k < times; ++k) {
    steps.push_back({fromMs + k * 6000, Lost});
    steps.push_back({fromMs + k * 6000 + 3000, Found});
  }
  return steps;
}
std::vector<Step> Then(std::vector<Step> steps, std::initializer_list<Step> more) {
  steps.insert(steps.end(), more);
  return steps;
}

TEST(EventLogLimits, RepeatedEventsAreSummedOrSpacedAndEverythingElsePassesOn) {
  const std::vector<std::wstring> com5 = {L"COM5"};
  const struct {
    const char* name;
    std::vector<Step> steps;
    Entries expected;
  } cases[] = {
      {"ten replugs in a minute: the first loss and return at once, the rest as one sum ten minutes on",
       Then(Replugs(0, 10), {Pass(9 * kMinute), Pass(10 * kMinute), Pass(11 * kMinute)}),
       {{Lost, com5}, {Found, com5}, {Sum, {L"COM5", L"9", L"9", L"10"}}}},
      {"a board found at start and lost an hour later: both at once, nothing to sum",
       {{0, Found}, {60 * kMinute, Lost}, Pass(75 * kMinute)}, {{Found, com5}, {Lost, com5}}},
      {"a loss after the window: the sum first, then the loss at once",
       Then(Replugs(0, 2), {{12 * kMinute, Lost}}),
       {{Lost, com5}, {Found, com5}, {Sum, {L"COM5", L"1", L"1", L"10"}}, {Lost, com5}}},
      {"ports are summed apart",
       {{0, Lost, L"COM5"}, {1000, Lost, L"COM7"}, {2000, Lost, L"COM5"}, Stop(3 * kMinute)},
       {{Lost, com5}, {Lost, {L"COM7"}}, {Sum, {L"COM5", L"1", L"0", L"3"}}}},
      {"the driver stops inside a window: what was counted goes out",
       Then(Replugs(0, 3), {Stop(30000)}), {{Lost, com5}, {Found, com5}, {Sum, {L"COM5", L"2", L"2", L"1"}}}},
      {"a bad link warned once an hour per port, across a reconnect",
       {{kMinute, Unhealthy}, {2 * kMinute, Lost}, {3 * kMinute, Found}, {4 * kMinute, Unhealthy},
        {61 * kMinute, Unhealthy}, {62 * kMinute, Unhealthy, L"COM7"}},
       {{Unhealthy, com5}, {Lost, com5}, {Found, com5}, {Unhealthy, com5}, {Unhealthy, {L"COM7"}}}},
      {"other events are not limited",
       {{0, LogEvent::CalibrationSaved, L"9"}, {1, LogEvent::CalibrationSaved, L"9"}},
       {{LogEvent::CalibrationSaved, {L"9"}}, {LogEvent::CalibrationSaved, {L"9"}}}},
  };
  for (const auto& c : cases) {
    testing::FakeClock clock;
    testing::RecordingEventLog recorded;
    LimitedEventLog log(recorded, clock);
    for (const Step& step : c.steps) {
      clock.nowMs = step.atMs;
      if (step.event) {
        log.WriteEventLog(*step.event, {step.port});
      } else {
        log.WriteDueSums(step.stopping);
      }
    }
    // The events carry the port alone; the link warning's counts do not matter here.
    EXPECT_EQ(recorded.events, c.expected) << c.name;
  }
}

}  // namespace
}  // namespace velno
