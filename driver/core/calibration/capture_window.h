// One board's part in a capture run: the measurement under way and who has the pen.
#pragma once

#include <cstdint>

namespace velno {

// How the pen passes between the pointer path and the capture runs: None, the pointer path has it;
// InRun, its reports go to a capture run; AwaitingLift, a run has ended under a touch that began during
// it, and the rest of that touch injects nothing.
enum class CaptureHandover : std::int32_t { None = 0, InRun = 1, AwaitingLift = 2 };

// A measurement is ten steady samples near an anchor.
struct CaptureWindow {
  bool active = false;     // a measurement runs: the pen went down during the run
  std::int32_t count = 0;  // samples summed, 0..9
  std::int32_t sumX = 0;
  std::int32_t sumY = 0;
  std::int32_t anchorX = 0;  // where the measurement's samples must stay near
  std::int32_t anchorY = 0;
  CaptureHandover handover = CaptureHandover::None;
};

}  // namespace velno
