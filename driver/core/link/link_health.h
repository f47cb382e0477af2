// The health of a board's link, judged minute by minute: a failing cable or USB-to-serial bridge shows
// as reports dropped for a bad checksum or stray bytes long before the board stops answering.
#pragma once

#include <cstdint>
#include <optional>

namespace velno {

inline constexpr std::uint64_t kLinkHealthMinuteMs = 60000;
// A minute is unhealthy when more than this share of its reports were dropped (1 %).
inline constexpr std::uint32_t kUnhealthyDroppedPerHundred = 1;

struct LinkHealth {
  std::optional<std::uint64_t> minuteStartMs;  // none before the first report
  std::uint32_t reports = 0;                   // kept and dropped, this minute
  std::uint32_t dropped = 0;
  bool unreliable = false;  // the last minute closed was unhealthy, whether or not it was warned of
};

// An unhealthy minute's counts, to be logged.
struct LinkHealthWarning {
  std::uint32_t dropped = 0;
  std::uint32_t reports = 0;
};

// Counts one report, kept or dropped, at `nowMs` (monotonic). The first report after a minute has passed
// closes that minute: when more than 1 % of its reports were dropped, returns its counts. How often that
// reaches the event log is the log's limit (event_log_limits.h), so it holds across reconnects.
std::optional<LinkHealthWarning> CountReport(LinkHealth& health, std::uint64_t nowMs, bool dropped);

}  // namespace velno
