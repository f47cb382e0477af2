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
    run = WatchedRun{true, false, index, now};
  } else if (index != run.index) {
    run.index = index;
    run.lastProgress = now;
  }
  if (toolRunning) run.toolSeen = true;
  // A run driven through the library by a program that holds no run event is ended only when idle.
  const bool toolGone = run.toolSeen && !toolRunning;
  if (toolGone || ElapsedMilliseconds(run.lastProgress, now) >= kIdleRunLimitMs) {
    operations.stop();
    run = WatchedRun{};
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
  CheckRun(watch.point, {sharedState.IsAdjusting, sharedState.GetAdjustCurrentIndex, sharedState.StopAdjust},
           tool.RunToolPresent(CaptureRun::Point), now);
  CheckRun(watch.button,
           {sharedState.IsButtonAdjusting, sharedState.GetButtonAdjustCurrentIndex, sharedState.StopButtonAdjust},
           tool.RunToolPresent(CaptureRun::Button), now);
}

}  // namespace velno
