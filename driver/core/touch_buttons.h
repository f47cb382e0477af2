// Places on the writing surface that act as buttons: a pen report within 50 board units of one presses
// it instead of drawing, and lifting the pen runs its action.
#pragma once

#include <cstdint>

#include "pen_event.h"
#include "time_stamp.h"

namespace velno {

struct BoardContext;
struct Driver;

// The touch button a board's pen holds down. Kept per board, so two boards never see each other's press.
struct TouchButtonPress {
  std::int32_t pressed;  // 0 idle, 1 a button is held
  std::int32_t button;   // position in the board's touch-button list
  std::int32_t leftHeld; // 1 when the stroke began off the button: the pointer path pressed the left button
  TimeStamp pressStamp;
  TimeStamp releaseStamp;
};

inline constexpr std::int64_t kTouchButtonReachSquared = 2500;  // strictly less: a radius of 50 units

// Returns 1 when a touch button took the report (no pointer input is then injected for it, and neither
// gestures nor press-and-hold see it), else 0. Reads the board's smoothed position.
std::int32_t CheckTouchButtons(Driver& driver, BoardContext& board, PenEvent event);

}  // namespace velno
