// Where one board's pen stands on the pointer path: its phase, its last report and the position last
// injected.
#pragma once

#include <cstdint>

#include "pointer/output_mapping.h"
#include "pointer/pen_phase.h"

namespace velno {

struct PointerState {
  PenPhase phase = PenPhase::Lifted;
  std::int32_t lastX = 0;  // the last pen report's decoded position, board units
  std::int32_t lastY = 0;
  OutputPosition out;  // where the pointer was last injected
};

}  // namespace velno
