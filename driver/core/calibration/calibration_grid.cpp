#include "calibration/calibration_grid.h"

#include <cstdint>
#include <limits>

namespace velno {
namespace {

// Indices into rawPoints/targetPoints of the corners of the cell at (col, row), in corner order.
std::array<std::int32_t, 4> CornerPointIndices(const CalibrationBlock& calibration, std::int32_t col, std::int32_t row) {
  const std::int32_t left = col * calibration.pointRows;
  const std::int32_t right = (col + 1) * calibration.pointRows;
  return {left + row, left + row + 1, right + row + 1, right + row};
}

// Mean of four int32 values, truncated toward zero; summed in 64 bits because stored points may be
// anything a settings file holds.
std::int32_t MeanOfFour(std::int64_t a, std::int64_t b, std::int64_t c, std::int64_t d) {
  return static_cast<std::int32_t>((a + b + c + d) / 4);
}

// Squared distance between two int32 positions. Each square fits 64 unsigned bits; their sum saturates
// instead of wrapping, which only happens far outside the board's range.
std::uint64_t SquaredDistance(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1) {
  const std::int64_t dx = static_cast<std::int64_t>(x0) - x1;
  const std::int64_t dy = static_cast<std::int64_t>(y0) - y1;
  const std::uint64_t absX = static_cast<std::uint64_t>(dx < 0 ? -dx : dx);
  const std::uint64_t absY = static_cast<std::uint64_t>(dy < 0 ? -dy : dy);
  const std::uint64_t squareX = absX * absX;
  const std::uint64_t squareY = absY * absY;
  const std::uint64_t sum = squareX + squareY;
  return sum < squareX ? std::numeric_limits<std::uint64_t>::max() : sum;
}

}  // namespace

std::int32_t LayoutGrid(CalibrationBlock& calibration) {
  const GridShape* shape = FindGridShape(calibration.adjustType);
  if (shape == nullptr) {
    calibration.adjustType = 0;
    calibration.pointRows = 0;
    calibration.pointCols = 0;
    calibration.cellRows = 0;
    calibration.cellCols = 0;
    // An empty grid has no cells either, so nothing can scan stale centres.
    calibration.cellCount = 0;
    return -1;
  }
  calibration.pointRows = shape->pointRows;
  calibration.pointCols = shape->pointCols;
  calibration.cellRows = shape->pointRows - 1;
  calibration.cellCols = shape->pointCols - 1;
  calibration.cellCount = calibration.cellRows * calibration.cellCols;
  ComputeCellCentres(calibration);
  SetDefaultTargets(calibration);
  return 0;
}

void ComputeCellCentres(CalibrationBlock& calibration) {
  for (std::int32_t col = 0; col < calibration.cellCols; ++col) {
    for (std::int32_t row = 0; row < calibration.cellRows; ++row) {
      const auto corners = CornerPointIndices(calibration, col, row);
      const BoardPoint& p0 = calibration.rawPoints[corners[0]];
      const BoardPoint& p1 = calibration.rawPoints[corners[1]];
      const BoardPoint& p2 = calibration.rawPoints[corners[2]];
      const BoardPoint& p3 = calibration.rawPoints[corners[3]];
      calibration.cellCentres[col * calibration.cellRows + row] = {MeanOfFour(p0.x, p1.x, p2.x, p3.x),
                                                   MeanOfFour(p0.y, p1.y, p2.y, p3.y)};
    }
  }
}

void SetDefaultTargets(CalibrationBlock& calibration) {
  const GridShape* shape = FindGridShape(calibration.adjustType);
  if (shape == nullptr) return;
  // Absolute units run 0 .. 65535 across the screen; the fractions scale into them exactly.
  for (std::uint32_t p = 0; p < shape->pointCount; ++p) {
    const TargetFractions target = TargetFractionsOf(*shape, p);
    calibration.targetPoints[p] = {static_cast<std::int32_t>(target.x * 65536),
                                   static_cast<std::int32_t>(target.y * 65536)};
  }
}

CellCorners GetCellCorners(const CalibrationBlock& calibration, std::int32_t q) {
  CellCorners corners{};
  if (calibration.cellCols == 0 || calibration.cellRows == 0 || q < 0 || q >= calibration.cellCount) return corners;
  const auto indices = CornerPointIndices(calibration, q / calibration.cellRows, q % calibration.cellRows);
  for (std::size_t k = 0; k < indices.size(); ++k) {
    const BoardPoint& target = calibration.targetPoints[indices[k]];
    const BoardPoint& raw = calibration.rawPoints[indices[k]];
    corners.targetX[k] = target.x;
    corners.targetY[k] = target.y;
    corners.rawX[k] = raw.x;
    corners.rawY[k] = raw.y;
  }
  return corners;
}

std::int32_t FindNearestCell(const CalibrationBlock& calibration, std::int32_t x, std::int32_t y) {
  // For board units (0..32767) every distance is below 2^31, so the first cell always takes the lead
  // and only a strictly smaller distance replaces it: ties go to the lower cell.
  std::uint64_t best = std::numeric_limits<std::uint64_t>::max();
  std::int32_t nearest = 0;
  for (std::int32_t q = 0; q < calibration.cellCount; ++q) {
    const std::uint64_t distance = SquaredDistance(x, y, calibration.cellCentres[q].x, calibration.cellCentres[q].y);
    if (distance < best) {
      best = distance;
      nearest = q;
    }
  }
  return nearest;
}

CalibrationBlock& ResetCalibration(CalibrationBlock& calibration) {
  calibration.adjustType = 0;
  calibration.pointRows = 0;
  calibration.pointCols = 0;
  calibration.touchButtons.count = 0;
  calibration.cellRows = 0;
  calibration.cellCols = 0;
  calibration.rawPoints = {};
  calibration.targetPoints = {};
  calibration.cellCentres = {};
  LayoutGrid(calibration);
  return calibration;
}

}  // namespace velno
