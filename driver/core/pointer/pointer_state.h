// Where one board's pen stands on the pointer path: lifted or down, its last report and the position
// last injected.
#pragma once

#include <cstdint>

#include "pointer/output_mapping.h"

namespace velno {

struct PointerState {
  bool penUp = true;
  std::int32_t lastX = 0;  // the last pen report's decoded position, board units
  std::int32_t lastY = 0;
  OutputPosition out;  // where the pointer was last injected
};

}  // namespace velno
