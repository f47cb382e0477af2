// The calibration grid of one board: its shape for each point count, the default targets, the cell
// centres and the nearest-cell search.
#pragma once

#include <array>
#include <cstdint>

#include "board_context.h"

namespace velno {

// Sets the grid shape from adjustType, then the cell centres and default targets. Returns 0, or -1 for
// an unsupported count (the grid is then emptied).
std::int32_t LayoutGrid(BoardContext& ctx);
void ComputeCellCentres(BoardContext& ctx);
void SetDefaultTargets(BoardContext& ctx);

// The four corners of cell q in corner order: top-left, bottom-left, bottom-right, top-right.
struct CellCorners {
  std::array<std::int32_t, 4> targetX;
  std::array<std::int32_t, 4> targetY;
  std::array<std::int32_t, 4> rawX;
  std::array<std::int32_t, 4> rawY;
};
// All zero when the grid is empty.
CellCorners GetCellCorners(const BoardContext& ctx, std::int32_t q);

std::int32_t FindNearestCell(const BoardContext& ctx, std::int32_t x, std::int32_t y);

BoardContext& ResetCalibration(BoardContext& ctx);

}  // namespace velno
