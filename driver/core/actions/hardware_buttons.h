// The board's 16 hardware buttons: a release runs the button's actions.
#pragma once

#include <cstdint>

#include "actions/button_actions.h"
#include "actions/shortcut_table.h"
#include "platform/clock.h"
#include "platform/time_stamp.h"

namespace velno {

// The last hardware-button press of a board; each press overwrites it.
struct HardwareButtonPress {
  bool seen = false;  // any button of the board was pressed since start-up
  TimeStamp pressStamp{};
};

// number 0..15; pressed for a press code, not for a release code. A release runs the button's actions
// from `actions`.
void OnHardwareButton(Clock& clock, const ActionOutputs& outputs, const ButtonActionTable& actions,
                      HardwareButtonPress& press, ShortcutTable& shortcuts, std::int32_t number, bool pressed);

}  // namespace velno
