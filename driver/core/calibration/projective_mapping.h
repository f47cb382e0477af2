// One projective transform per grid cell, solved from the cell's four corners, and the mapping of a
// board position through the transform of the nearest cell.
#pragma once

#include <cstdint>

#include "calibration/calibration_block.h"
#include "calibration/matrix8.h"

namespace velno {

// Solves the transform of every cell from its four corners, on the grid its caller laid out when it
// decided the point count; the cell centres are first computed from the measured points. A cell whose corners admit no finite
// transform (corners on a line or coinciding) leaves the block uncalibrated and the coefficients as
// they were.
void SolveCellTransforms(CalibrationBlock& calibration);

struct ScreenPoint {
  std::int32_t x;  // absolute input units
  std::int32_t y;

  friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

// Maps a board position through the transform of the nearest cell, rounded to whole absolute input
// units. Not clamped to the screen; only a quotient beyond the 32-bit range saturates (NaN gives 0).
ScreenPoint MapPoint(const CalibrationBlock& calibration, std::int32_t x, std::int32_t y);

}  // namespace velno
