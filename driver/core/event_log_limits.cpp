#include "event_log_limits.h"

#include <algorithm>

namespace velno {
namespace {

constexpr int kLost = 0;
constexpr int kFound = 1;

}  // namespace

bool DueAfterGap(EveryGap& limit, std::uint64_t nowMs, std::uint64_t gapMs) {
  if (limit.lastMs && nowMs - *limit.lastMs < gapMs) return false;
  limit.lastMs = nowMs;
  return true;
}

std::optional<RepeatCounts> TakeDueSum(RepeatSum& sum, std::uint64_t nowMs, bool closing) {
  if (!sum.windowStartMs) return std::nullopt;
  const std::uint64_t lasted = nowMs - *sum.windowStartMs;
  if (!closing && lasted < kRepeatSumWindowMs) return std::nullopt;
  const RepeatCounts counts{sum.repeats, std::max<std::uint64_t>(1, (std::min(lasted, kRepeatSumWindowMs) + 59999) / 60000)};
  sum = RepeatSum{};
  if (counts.repeats[0] == 0 && counts.repeats[1] == 0) return std::nullopt;
  return counts;
}

bool TakeOccurrence(RepeatSum& sum, int kind, std::uint64_t nowMs) {
  if (!sum.windowStartMs) sum.windowStartMs = nowMs;
  if (!sum.firstOut[kind]) {
    sum.firstOut[kind] = true;
    return true;
  }
  ++sum.repeats[kind];
  return false;
}

void LimitedEventLog::WriteEventLog(LogEvent event, const std::vector<std::wstring>& words) {
  const std::wstring port = words.empty() ? std::wstring() : words.front();
  std::lock_guard lock(lock_);
  const std::uint64_t nowMs = clock_.ReadMonotonicMs();
  bool goesOut = true;
  if (event == LogEvent::BoardLost || event == LogEvent::BoardFound) {
    WriteDueSumsLocked(nowMs, false);
    goesOut = TakeOccurrence(presence_[port], event == LogEvent::BoardLost ? kLost : kFound, nowMs);
  } else if (event == LogEvent::LinkUnhealthy) {
    goesOut = DueAfterGap(linkWarnings_[port], nowMs, kRepeatWarningGapMs);
  }
  if (goesOut) log_.WriteEventLog(event, words);
}

void LimitedEventLog::WriteDueSums(bool stopping) {
  std::lock_guard lock(lock_);
  WriteDueSumsLocked(clock_.ReadMonotonicMs(), stopping);
}

void LimitedEventLog::WriteDueSumsLocked(std::uint64_t nowMs, bool stopping) {
  for (auto& [port, sum] : presence_) {
    if (const auto counts = TakeDueSum(sum, nowMs, stopping)) {
      log_.WriteEventLog(LogEvent::BoardComesAndGoes,
                         {port, std::to_wstring(counts->repeats[kLost]), std::to_wstring(counts->repeats[kFound]),
                          std::to_wstring(counts->minutes)});
    }
  }
}

}  // namespace velno
