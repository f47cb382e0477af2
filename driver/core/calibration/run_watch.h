// Ends capture runs that nobody will finish: a run whose driving program has gone (ended, killed,
// crashed; each kind of run has its own, tool_presence.h), and any run that has gone 60 s without a
// measurement or an index change. Without that the board's reports would go to the run for ever and the
// pen would be dead. A board's reader checks after every pass (an empty read takes about 1.1 s), so a
// program's end is noticed within about 1.4 s also while the pen rests off the board, once a check has
// seen the program during its run.
#pragma once

#include <cstdint>
#include <mutex>

#include "platform/clock.h"
#include "platform/platform_types.h"
#include "platform/shared_state.h"
#include "platform/tool_presence.h"

namespace velno {

inline constexpr std::int32_t kRunWatchEveryMs = 250;
inline constexpr std::int32_t kIdleRunLimitMs = 60000;

// What the watch knows of one kind of run (the point run or the touch-button run).
struct WatchedRun {
  bool active = false;          // active at the last check
  bool toolSeen = false;        // its driving program was there at a check during this run
  std::int32_t index = 0;       // its index at the last check
  TimeStamp lastProgress{};     // when the run began or its index last changed
};

struct RunWatch {
  std::mutex lock;  // the supervisor and every board's reader check
  bool checked = false;
  TimeStamp lastCheck{};
  WatchedRun point;
  WatchedRun button;
};

// One check of both runs, at most every kRunWatchEveryMs; a caller that finds another one checking
// goes on at once. A run is ended through the library's Stop operation only: the reader that has the pen
// sees the run over and hands the pen back to the pointer as after any run.
void WatchRuns(Clock& clock, ToolPresence& tool, const SharedState& sharedState, RunWatch& watch);

}  // namespace velno
