#include "actions/press_and_hold.h"

#include "platform/driver_platform.h"

namespace velno {
namespace {

// Worked in 64 bits: equal to the 32-bit result for every position the board reports.
bool IsStill(const HoldTracking& hold, std::int32_t x, std::int32_t y) {
  const std::int64_t dx = static_cast<std::int64_t>(x) - hold.anchorX;
  const std::int64_t dy = static_cast<std::int64_t>(y) - hold.anchorY;
  return dx * dx + dy * dy < kHoldStillSquared;
}

void Release(DriverPlatform& platform, HoldTracking& hold) {
  if (hold.state == HoldState::Armed) {
    // A right click where the cursor is; the pointer path injects its left release after it.
    const InputRecord click[] = {MouseButton(kMouseRightDown), MouseButton(kMouseRightUp)};
    platform.SendInput(click, 2);
    platform.RestoreCursor(hold.previousCursor);
  }
  hold.state = HoldState::Idle;
}

// The timer starts at the second report of the hold, the first that finds the pen still.
void StayStill(DriverPlatform& platform, HoldTracking& hold) {
  switch (hold.state) {
    case HoldState::Anchored:
      hold.startStamp = platform.ReadClock();
      hold.currentStamp = hold.startStamp;
      hold.state = HoldState::Timing;
      break;
    case HoldState::Timing:
      hold.currentStamp = platform.ReadClock();
      if (ElapsedMilliseconds(hold.startStamp, hold.currentStamp) >= kBusyCursorMilliseconds) {
        hold.previousCursor = platform.ShowBusyCursor();
        hold.state = HoldState::Busy;
      }
      break;
    case HoldState::Busy:
      hold.currentStamp = platform.ReadClock();
      if (ElapsedMilliseconds(hold.startStamp, hold.currentStamp) >= kRightClickMilliseconds) {
        hold.state = HoldState::Armed;
      }
      break;
    case HoldState::Idle:
    case HoldState::Armed:
      break;
  }
}

}  // namespace

void CancelHold(DriverPlatform& platform, HoldTracking& hold) {
  if (hold.state == HoldState::Busy || hold.state == HoldState::Armed) {
    platform.RestoreCursor(hold.previousCursor);
  }
  hold.state = HoldState::Idle;
}

void TrackHold(DriverPlatform& platform, HoldTracking& hold, BoardPoint smoothed, PenEvent event) {
  if (event == kPenRelease) {
    Release(platform, hold);
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
  StayStill(platform, hold);
}

}  // namespace velno
