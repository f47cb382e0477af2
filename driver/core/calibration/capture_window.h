// One board's part in a capture run: the measurement under way.
#pragma once

#include <cstdint>

namespace velno {

// A measurement is ten steady samples near an anchor.
struct CaptureWindow {
  bool active = false;     // a measurement runs: the pen went down during the run
  std::int32_t count = 0;  // samples summed, 0..9
  std::int32_t sumX = 0;
  std::int32_t sumY = 0;
  std::int32_t anchorX = 0;  // where the measurement's samples must stay near
  std::int32_t anchorY = 0;
};

}  // namespace velno
