#include "link/link_health.h"

#include <gtest/gtest.h>

#include <vector>

namespace velno {
namespace {

// One minute of a board's reports, `dropped` of them dropped, evenly spread from `startMs` on.
void PlayMinute(LinkHealth& health, std::uint64_t startMs, std::uint32_t reports, std::uint32_t dropped,
                std::vector<std::uint64_t>& warnedAt) {
  for (std::uint32_t k = 0; k < reports; ++k) {
    const std::uint64_t now = startMs + k * (kLinkHealthMinuteMs / reports);
    if (const auto warning = CountReport(health, now, k < dropped)) warnedAt.push_back(now);
  }
}

TEST(LinkHealth, ReportsEachMinuteWithMoreThanOnePercentDropped) {
  constexpr std::uint64_t kMinute = kLinkHealthMinuteMs;
  const struct {
    const char* name;
    std::vector<std::uint32_t> droppedPerMinute;  // of 1000 reports a minute
    std::vector<std::uint64_t> warnedAt;
    bool unreliableAtEnd;  // what the driver's icon shows: the last minute, warned of or not
  } cases[] = {
      {"1 % dropped is healthy", {10, 10, 0}, {}, false},
      {"just over 1 %: warned as the next minute begins", {11, 0}, {kMinute}, false},
      {"a bad minute, then healthy ones", {50, 0, 0}, {kMinute}, false},
      {"healthy minutes, then a bad one", {0, 0, 50}, {3 * kMinute}, true},
      // How often they reach the event log is the log's limit.
      {"bad minute after bad minute: each one", {200, 200, 0}, {kMinute, 2 * kMinute}, false},
  };
  for (const auto& c : cases) {
    LinkHealth health;
    std::vector<std::uint64_t> warnedAt;
    for (std::size_t m = 0; m < c.droppedPerMinute.size(); ++m) {
      PlayMinute(health, m * kMinute, 1000, c.droppedPerMinute[m], warnedAt);
    }
    const std::uint64_t end = c.droppedPerMinute.size() * kMinute;
    if (CountReport(health, end, false)) warnedAt.push_back(end);  // closes the last minute
    EXPECT_EQ(warnedAt, c.warnedAt) << c.name;
    EXPECT_EQ(health.unreliable, c.unreliableAtEnd) << c.name;
  }
}

}  // namespace
}  // namespace velno
