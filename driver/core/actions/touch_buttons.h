// Places on the writing surface that act as buttons: a pen report within 50 board units of one presses
// it instead of drawing, and lifting the pen runs its action.
#pragma once

#include <cstdint>

#include "actions/button_actions.h"
#include "actions/shortcut_table.h"
#include "calibration/calibration_block.h"
#include "common/board_point.h"
#include "common/pen_event.h"
#include "platform/clock.h"
#include "platform/pointer_output.h"
#include "platform/settings_store.h"
#include "platform/time_stamp.h"

namespace velno {

// The touch button a board's pen holds down. Kept per board, so two boards never see each other's press.
struct TouchButtonPress {
  bool pressed = false;   // a button is held
  std::int32_t button = 0;  // position in the board's touch-button list
  bool leftHeld = false;  // the stroke began off the button: the pointer path pressed the left button
  TimeStamp pressStamp{};
  TimeStamp releaseStamp{};
};

inline constexpr std::int64_t kTouchButtonReachSquared = 2500;  // strictly less: a radius of 50 units

// True when a touch button took the report: no pointer input is then injected for it, and neither
// gestures nor press-and-hold see it. `smoothed` is the board's smoothed position. A release of a held
// button lifts the left button the stroke pressed (through `pointer`) and runs the button's actions from
// the table in effect in `actions`.
bool CheckTouchButtons(Clock& clock, PointerOutput& pointer, const ActionOutputs& outputs,
                       const LiveButtonActions& actions, const TouchButtonList& buttons, TouchButtonPress& press,
                       ShortcutTable& shortcuts, BoardPoint smoothed, PenEvent event);

// "Forget the touch buttons": the file's count of them set to 0 in one save, and every board's reader told
// to empty its list at its next report. False when the file could not take it (the store logged why).
bool ForgetTouchButtons(SettingsStore& store, ActionRequests& requests);

// On a board's reader: empties the board's list when a forget it has not seen came, once no touch button
// is held. `seen` is the board's count of forgets taken.
void TakeForgottenTouchButtons(const ActionRequests& requests, std::uint32_t& seen, const TouchButtonPress& press,
                               TouchButtonList& buttons);

}  // namespace velno
