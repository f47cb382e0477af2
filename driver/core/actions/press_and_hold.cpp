#include "actions/press_and_hold.h"

namespace velno {
namespace {

// Worked in 64 bits: equal to the 32-bit result for every position the board reports.
bool IsStill(const HoldTracking& hold, std::int32_t x, std::int32_t y) {
  const std::int64_t dx = static_cast<std::int64_t>(x) - hold.anchorX;
  const std::int64_t dy = static_cast<std::int64_t>(y) - hold.anchorY;
  return dx * dx + dy * dy < kHoldStillSquared;
}

void Release(PointerOutput& pointer, KeyOutput& keys, HoldTracking& hold) {
  if (hold.state == HoldState::Armed) {
    // A right click where the cursor is; the pointer path injects its left release after it.
    const InputRecord click[] = {MouseButton(kMouseRightDown), MouseButton(kMouseRightUp)};
    keys.SendInput(click, 2);
    pointer.RestoreCursor(hold.previousCursor);
  }
  hold.state = HoldState::Idle;
}

// The timer starts at the second report of the hold, the first that finds the pen still.
void StayStill(Clock& clock, PointerOutput& pointer, HoldTracking& hold, std::int32_t rightClickAfterMs) {
  switch (hold.state) {
    case HoldState::Anchored:
      hold.startStamp = clock.ReadClock();
      hold.currentStamp = hold.startStamp;
      hold.state = HoldState::Timing;
      break;
    case HoldState::Timing:
      hold.currentStamp = clock.ReadClock();
      if (ElapsedMilliseconds(hold.startStamp, hold.currentStamp) >= kBusyCursorMilliseconds) {
        hold.previousCursor = pointer.ShowBusyCursor();
        hold.state = HoldState::Busy;
      }
      break;
    case HoldState::Busy:
      hold.currentStamp = clock.ReadClock();
      if (ElapsedMilliseconds(hold.startStamp, hold.currentStamp) >= rightClickAfterMs) {
        hold.state = HoldState::Armed;
      }
      break;
    case HoldState::Idle:
    case HoldState::Armed:
      break;
  }
}

}  // namespace

void CancelHold(PointerOutput& pointer, HoldTracking& hold) {
  if (hold.state == HoldState::Busy || hold.state == HoldState::Armed) {
    pointer.RestoreCursor(hold.previousCursor);
  }
  hold.state = HoldState::Idle;
}

void TrackHold(Clock& clock, PointerOutput& pointer, KeyOutput& keys, HoldTracking& hold, BoardPoint smoothed,
               PenEvent event, std::int32_t rightClickAfterMs) {
  if (event == kPenRelease) {
    Release(pointer, keys, hold);
    return;
  }
  // The distance is measured from the anchor, never from the previous report. Moving away restarts the
  // hold and leaves the cursor as it is.
  if (hold.state == HoldState::Idle || !IsStill(hold, smoothed.x, smoothed.y)) {
    hold.state = HoldState::Anchored;
    hold.anchorX = smoothed.x;
    hold.anchorY = smoothed.y;
    return;
  }
  StayStill(clock, pointer, hold, rightClickAfterMs);
}

}  // namespace velno
