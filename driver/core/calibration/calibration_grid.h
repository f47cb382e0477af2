// The calibration grid of one board: its layout for the point count (the shapes and target places are
// the board's facts, shared with the tool), the default targets, the cell centres and the nearest-cell
// search.
#pragma once

#include <array>
#include <cstdint>

#include "board_facts.h"
#include "calibration/calibration_block.h"

namespace velno {

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
