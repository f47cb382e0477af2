// Where one board's pen stands on the pointer path: lifted or down, its last report and the position
// last injected.
#pragma once

#include <cstdint>

namespace velno {

struct PointerState {
  bool penUp = true;
  std::int32_t lastX = 0;  // the last pen report's decoded position, board units
  std::int32_t lastY = 0;
  std::int32_t outX = 0;  // absolute input units, extended-screen offset included
  std::int32_t outY = 0;
};

}  // namespace velno
