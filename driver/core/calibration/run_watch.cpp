#include "calibration/run_watch.h"

#include "platform/time_stamp.h"

namespace velno {
namespace {

struct RunOperations {
  SharedState::Get isActive;
  SharedState::Get currentIndex;
  SharedState::Get stop;
};

void CheckRun(WatchedRun& run, const RunOperations& operations, bool toolRunning, TimeStamp now) {
  if (operations.isActive() == 0) {
    run = WatchedRun{};
    return;
  }
  const std::int32_t index = operations.currentIndex();
  if (!run.active) {
    // A measurement acknowledged just as the last check ended its run sets index 0 and with it marks
    // the run active again: that is no new run, it ends at once.
    if (run.endedByWatch && index == 0) {
      operations.stop();
      return;
    }
    run = WatchedRun{true, false, false, index, now};
  } else if (index != run.index) {
    run.index = index;
    run.lastProgress = now;
  }
  if (toolRunning) run.toolSeen = true;
  // A run that another program drives through the library, with no tool, is ended only when idle.
  const bool toolGone = run.toolSeen && !toolRunning;
  if (toolGone || ElapsedMilliseconds(run.lastProgress, now) >= kIdleRunLimitMs) {
    operations.stop();
    run = WatchedRun{};
    run.endedByWatch = true;
  }
}

}  // namespace

void WatchRuns(Clock& clock, ToolPresence& tool, const SharedState& sharedState, RunWatch& watch) {
  std::unique_lock lock(watch.lock, std::try_to_lock);
  if (!lock.owns_lock()) return;
  const TimeStamp now = clock.ReadClock();
  if (watch.checked && ElapsedMilliseconds(watch.lastCheck, now) < kRunWatchEveryMs) return;
  watch.checked = true;
  watch.lastCheck = now;
  const bool toolRunning = tool.AdjustToolRunning();
  CheckRun(watch.point, {sharedState.IsAdjusting, sharedState.GetAdjustCurrentIndex, sharedState.StopAdjust}, toolRunning, now);
  CheckRun(watch.button, {sharedState.IsButtonAdjusting, sharedState.GetButtonAdjustCurrentIndex, sharedState.StopButtonAdjust},
           toolRunning, now);
}

}  // namespace velno
