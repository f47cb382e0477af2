#include "touch_buttons.h"

#include "button_actions.h"
#include "driver.h"
#include "smoothing.h"

namespace velno {
namespace {

// Whether an offset on one axis can lie within reach at all. A button that the settings file puts near
// the ends of the 32-bit range is about 2^31 units away on both axes: squared and summed, that
// overflows even 64 bits.
bool WithinReachOnOneAxis(std::int64_t d) { return d * d < kTouchButtonReachSquared; }

// The first button in list order within reach of the smoothed position, or -1. For positions the board
// reports the distance equals the 32-bit result.
std::int32_t HitButton(const BoardContext& board) {
  for (std::uint32_t i = 0; i < board.touchButtonCount && i < board.touchButtons.size(); ++i) {
    const std::int64_t dx = static_cast<std::int64_t>(board.smoothing.avgX) - board.touchButtons[i].x;
    const std::int64_t dy = static_cast<std::int64_t>(board.smoothing.avgY) - board.touchButtons[i].y;
    if (!WithinReachOnOneAxis(dx) || !WithinReachOnOneAxis(dy)) continue;
    if (dx * dx + dy * dy < kTouchButtonReachSquared) return static_cast<std::int32_t>(i);
  }
  return -1;
}

// Touch buttons 0..9 run actions 0..9; 10..19 run 11..20, past the second Win+D at 10.
std::int32_t ActionOfTouchButton(std::int32_t button) { return button < 10 ? button : button + 1; }

std::int32_t ReleaseTouchButton(Driver& driver, BoardContext& board) {
  TouchButtonPress& press = board.touchPress;
  DriverPlatform& platform = driver.platform;
  press.releaseStamp = platform.ReadClock();
  press.pressed = 0;
  // A stroke that began off the button holds the left button; lift it where the cursor is. One that
  // began on it pressed nothing, and gets no release either. The pointer path does not see this
  // release, so the pen is lifted here.
  if (press.leftHeld != 0) platform.InjectMouse(kMouseLeftUp, 0, 0);
  ResetSmoothing(board.smoothing);
  board.penUp = 1;

  const std::int32_t action = ActionOfTouchButton(press.button);
  RunButtonAction(platform, board.shortcuts, action);
  if (ElapsedMilliseconds(press.pressStamp, press.releaseStamp) >= kLongPressMilliseconds) {
    RunLongPressAction(platform, board.shortcuts, action);
  }
  return 1;
}

}  // namespace

std::int32_t CheckTouchButtons(Driver& driver, BoardContext& board, PenEvent event) {
  TouchButtonPress& press = board.touchPress;
  if (event == kPenRelease) {
    // The recorded button fires wherever the pen is lifted.
    return press.pressed != 0 ? ReleaseTouchButton(driver, board) : 0;
  }

  const std::int32_t hit = HitButton(board);
  if (hit < 0) return 0;
  // A press already recorded keeps its button and stamp, even when the pen now lies on another button.
  if (press.pressed == 0) {
    press.pressStamp = driver.platform.ReadClock();
    press.button = hit;
    press.pressed = 1;
    press.leftHeld = event == kPenPress ? 0 : 1;
  }
  if (event == kPenPress) board.penUp = 0;  // the stroke has begun without a left press
  return 1;
}

}  // namespace velno
