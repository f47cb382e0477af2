// How often events that repeat reach the Windows event log, so that IT reads what happened rather than a
// flood: a board on a loose cable that comes and goes, a failing link, a driver launched again and again,
// a settings file that cannot be written. All times are monotonic milliseconds.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/event_log.h"

namespace velno {

// Repeats within this time of the first are summed into one entry.
inline constexpr std::uint64_t kRepeatSumWindowMs = 10 * 60000;
// A warning that holds (a bad link, a file that cannot be written) goes out at most once in this time.
inline constexpr std::uint64_t kRepeatWarningGapMs = 60 * 60000;

// At most one entry per gap.
struct EveryGap {
  std::optional<std::uint64_t> lastMs;  // when the last one went out
};

// True when an entry may go out at `nowMs` (it is then counted as gone out).
bool DueAfterGap(EveryGap& limit, std::uint64_t nowMs, std::uint64_t gapMs);

// Repeats of an event of up to two kinds (a board lost, found), summed: the first of each kind goes out at
// once and the first of all opens a window; the others within the window are counted, and the counts go
// out as one entry once it has passed.
struct RepeatSum {
  std::optional<std::uint64_t> windowStartMs;
  std::array<bool, 2> firstOut{};
  std::array<std::uint32_t, 2> repeats{};
};

// An event log with these limits, shared by the threads that log: a board's lost and found summed per
// port, the driver launched summed per user, the link-health warning once an hour per port (across
// reconnects); every other event passes straight on. Each is keyed by its first word.
class LimitedEventLog final : public EventLog {
 public:
  LimitedEventLog(EventLog& log, std::function<std::uint64_t()> nowMs) : log_(log), nowMs_(std::move(nowMs)) {}

  void WriteEventLog(LogEvent event, const std::vector<std::wstring>& words) override;
  // Writes the sums whose window has passed; every sum when the driver or the service stops.
  void WriteDueSums(bool stopping);

 private:
  void WriteDueSumsLocked(std::uint64_t nowMs, bool stopping);

  EventLog& log_;
  std::function<std::uint64_t()> nowMs_;
  std::mutex lock_;
  std::map<std::pair<LogEvent, std::wstring>, RepeatSum> sums_;  // by the sum's event and the first word
  std::map<std::wstring, EveryGap> linkWarnings_;
};

}  // namespace velno
