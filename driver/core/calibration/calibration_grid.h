// The calibration grid of one board: its shape for each point count, the default targets, the cell
// centres and the nearest-cell search.
#pragma once

#include <array>
#include <cstdint>

#include "calibration/calibration_block.h"

namespace velno {

// Point p of a grid lies in column p / pointRows, row p % pointRows.
struct GridShape {
  std::uint32_t pointCount;
  std::int32_t pointRows;
  std::int32_t pointCols;
};
// The shape of the grid of pointCount points; nullptr for a count that makes no grid.
const GridShape* FindGridShape(std::uint32_t pointCount);

// Sets the grid shape from adjustType, then the cell centres and default targets. Returns 0, or -1 for
// an unsupported count (the grid is then emptied).
std::int32_t LayoutGrid(CalibrationBlock& calibration);
void ComputeCellCentres(CalibrationBlock& calibration);
void SetDefaultTargets(CalibrationBlock& calibration);

// The four corners of cell q in corner order: top-left, bottom-left, bottom-right, top-right.
struct CellCorners {
  std::array<std::int32_t, 4> targetX;
  std::array<std::int32_t, 4> targetY;
  std::array<std::int32_t, 4> rawX;
  std::array<std::int32_t, 4> rawY;
};
// All zero when the grid is empty.
CellCorners GetCellCorners(const CalibrationBlock& calibration, std::int32_t q);

std::int32_t FindNearestCell(const CalibrationBlock& calibration, std::int32_t x, std::int32_t y);

// Empties the block: no grid, no touch buttons, no points; laid out as an unsupported count.
CalibrationBlock& ResetCalibration(CalibrationBlock& calibration);

}  // namespace velno
