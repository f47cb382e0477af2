// Gesture recognition: the bounding box of a stroke's first 20 samples picks a keyboard shortcut.
#pragma once

#include <cstdint>

#include "driver.h"
#include "pen_event.h"

namespace velno {

void TrackGesture(Driver& driver, BoardContext& board, std::int32_t x, std::int32_t y, PenEvent event);

}  // namespace velno
