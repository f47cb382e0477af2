// Gesture recognition: the bounding box of a stroke's first 20 samples picks one of three keyboard
// shortcuts (entries 37..39 of the board's table), sent once per stroke.
#pragma once

#include <cstdint>

#include "pen_event.h"

namespace velno {

struct BoardContext;
struct Driver;

// One board's stroke so far. A box value of 0 counts as not yet set. Kept per board, so that two
// boards' strokes never mix into one box.
struct GestureBox {
  std::int32_t sampleCount;  // 0..20
  std::int32_t minX;
  std::int32_t minY;
  std::int32_t maxX;
  std::int32_t maxY;
};

inline constexpr std::int32_t kGestureSamples = 20;

// x, y: the report's decoded position, before smoothing. Called only while gesture recognition is on.
void TrackGesture(Driver& driver, BoardContext& board, std::int32_t x, std::int32_t y, PenEvent event);

}  // namespace velno
