#include "event_log_limits.h"

#include <algorithm>

namespace velno {
namespace {

// The events whose repeats are summed: into which event, and as which of its two counts.
struct Summed {
  LogEvent sum;
  int kind;
};

std::optional<Summed> SummedInto(LogEvent event) {
  switch (event) {
    case LogEvent::BoardLost: return Summed{LogEvent::BoardComesAndGoes, 0};
    case LogEvent::BoardFound: return Summed{LogEvent::BoardComesAndGoes, 1};
    case LogEvent::DriverLaunched: return Summed{LogEvent::DriverRelaunched, 0};
    default: return std::nullopt;
  }
}

// The counts of a window that has passed, or of any window when `closing`, with the whole minutes it
// lasted; the window is closed. None when nothing was counted in it.
struct RepeatCounts {
  std::array<std::uint32_t, 2> repeats{};
  std::uint64_t minutes = 0;
};

std::optional<RepeatCounts> TakeDueSum(RepeatSum& sum, std::uint64_t nowMs, bool closing) {
  if (!sum.windowStartMs) return std::nullopt;
  const std::uint64_t lasted = nowMs - *sum.windowStartMs;
  if (!closing && lasted < kRepeatSumWindowMs) return std::nullopt;
  const std::uint64_t minutes = (std::min(lasted, kRepeatSumWindowMs) + 59999) / 60000;
  const RepeatCounts counts{sum.repeats, std::max<std::uint64_t>(1, minutes)};
  sum = RepeatSum{};
  if (counts.repeats[0] == 0 && counts.repeats[1] == 0) return std::nullopt;
  return counts;
}

// One occurrence of `kind` at `nowMs`: true when it goes out now, false when it was counted. A window that
// has passed must have been taken with TakeDueSum first.
bool TakeOccurrence(RepeatSum& sum, int kind, std::uint64_t nowMs) {
  if (!sum.windowStartMs) sum.windowStartMs = nowMs;
  if (!sum.firstOut[kind]) {
    sum.firstOut[kind] = true;
    return true;
  }
  ++sum.repeats[kind];
  return false;
}

}  // namespace

bool DueAfterGap(EveryGap& limit, std::uint64_t nowMs, std::uint64_t gapMs) {
  if (limit.lastMs && nowMs - *limit.lastMs < gapMs) return false;
  limit.lastMs = nowMs;
  return true;
}

void LimitedEventLog::WriteEventLog(LogEvent event, const std::vector<std::wstring>& words) {
  const std::wstring key = words.empty() ? std::wstring() : words.front();
  std::lock_guard lock(lock_);
  const std::uint64_t nowMs = nowMs_();
  bool goesOut = true;
  if (const auto summed = SummedInto(event)) {
    WriteDueSumsLocked(nowMs, false);
    goesOut = TakeOccurrence(sums_[{summed->sum, key}], summed->kind, nowMs);
  } else if (event == LogEvent::LinkUnhealthy) {
    goesOut = DueAfterGap(linkWarnings_[key], nowMs, kRepeatWarningGapMs);
  }
  if (goesOut) log_.WriteEventLog(event, words);
}

void LimitedEventLog::WriteDueSums(bool stopping) {
  std::lock_guard lock(lock_);
  WriteDueSumsLocked(nowMs_(), stopping);
}

void LimitedEventLog::WriteDueSumsLocked(std::uint64_t nowMs, bool stopping) {
  for (auto& [sumAndKey, sum] : sums_) {
    const auto counts = TakeDueSum(sum, nowMs, stopping);
    if (!counts) continue;
    std::vector<std::wstring> words = {sumAndKey.second, std::to_wstring(counts->repeats[0])};
    // A board's sum counts its returns too.
    if (sumAndKey.first == LogEvent::BoardComesAndGoes) words.push_back(std::to_wstring(counts->repeats[1]));
    words.push_back(std::to_wstring(counts->minutes));
    log_.WriteEventLog(sumAndKey.first, words);
  }
}

}  // namespace velno
