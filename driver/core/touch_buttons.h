// Places on the writing surface that act as buttons.
#pragma once

#include <cstdint>

#include "driver.h"
#include "pen_event.h"

namespace velno {

// Returns 1 when a touch button took the report (no pointer input is then injected for it), else 0.
std::int32_t CheckTouchButtons(Driver& driver, BoardContext& board, PenEvent event);

}  // namespace velno
