// The board's 16 hardware buttons: a release runs the action of the button's own number.
#pragma once

#include <cstdint>

#include "actions/shortcut_table.h"
#include "platform/time_stamp.h"

namespace velno {

class DriverPlatform;

// The last hardware-button press of a board; each press overwrites it.
struct HardwareButtonPress {
  bool seen = false;  // any button of the board was pressed since start-up
  TimeStamp pressStamp{};
};

// number 0..15; pressed for a press code, not for a release code.
void OnHardwareButton(DriverPlatform& platform, HardwareButtonPress& press, ShortcutTable& shortcuts,
                      std::int32_t number, bool pressed);

}  // namespace velno
