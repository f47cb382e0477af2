// The board's 16 hardware buttons: a release runs the action of the button's own number.
#pragma once

#include <cstdint>

#include "time_stamp.h"

namespace velno {

struct BoardContext;
struct Driver;

// The last hardware-button press of a board; each press overwrites it.
struct HardwareButtonPress {
  std::int32_t seen;  // 1 once any button of the board was pressed
  TimeStamp pressStamp;
};

// number 0..15; pressed is non-zero for a press code, 0 for a release code.
void OnHardwareButton(Driver& driver, BoardContext& board, std::int32_t number, std::int32_t pressed);

}  // namespace velno
