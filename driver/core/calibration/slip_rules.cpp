#include "calibration/slip_rules.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "calibration/calibration_grid.h"

namespace velno {
namespace {

// Before two neighbouring targets are measured, the spacing is taken from the layout: the targets span
// 30/32 of the screen, and a screen covers at least half of its board each way, so 15360 board units
// across the grid is a low estimate. A low estimate only lets more through; a second touch on a target
// lands within a few dozen units of the first whatever the spacing.
constexpr double kLowestGridSpan = 32768.0 / 2 * 30 / 32;

struct Vector {
  double x;
  double y;
};

Vector Between(BoardPoint from, BoardPoint to) {
  return {static_cast<double>(to.x) - from.x, static_cast<double>(to.y) - from.y};
}

double Length(Vector v) { return std::hypot(v.x, v.y); }

double Dot(Vector a, Vector b) { return a.x * b.x + a.y * b.y; }

// The grid spacing in board units: the shortest distance between two neighbouring targets measured in
// this pass. A keystone makes some cells smaller than others, and the smallest one is what a real touch
// can come closest to another with.
double GridSpacing(const GridShape& shape, const std::array<BoardPoint, kMaxPoints>& points,
                   const std::bitset<kMaxPoints>& measured) {
  const auto count = static_cast<std::int32_t>(shape.pointCount);
  double smallest = std::numeric_limits<double>::infinity();
  for (std::int32_t q = 0; q < count; ++q) {
    if (!measured[q]) continue;
    const bool rowBelow = q % shape.pointRows + 1 < shape.pointRows;
    if (rowBelow && measured[q + 1]) smallest = std::min(smallest, Length(Between(points[q], points[q + 1])));
    const std::int32_t nextColumn = q + shape.pointRows;
    if (nextColumn < count && measured[nextColumn]) {
      smallest = std::min(smallest, Length(Between(points[q], points[nextColumn])));
    }
  }
  if (std::isfinite(smallest)) return smallest;
  return kLowestGridSpan / std::max(shape.pointCols - 1, shape.pointRows - 1);
}

// The board's direction of growing column (or row) number, learned from the first two targets of the
// first row (or column): a board mounted the other way round has it reversed. None until both are measured.
std::optional<Vector> LearnedAxis(const std::array<BoardPoint, kMaxPoints>& points,
                                  const std::bitset<kMaxPoints>& measured, std::int32_t first, std::int32_t second) {
  if (!measured[first] || !measured[second]) return std::nullopt;
  const Vector axis = Between(points[first], points[second]);
  if (Length(axis) == 0.0) return std::nullopt;
  return axis;
}

// True when `candidate`, `steps` targets further along a row (or column) than `done`, lies on that side
// of it along the learned axis. Only targets of one row are compared: a projective map keeps the order of
// the points on a line, and a real keystone or a rotation of up to 10 degrees turns a row far less than
// the right angle at which this sign would flip, while two targets of different rows and columns can
// come out in either order under a strong keystone.
bool KeepsOrder(Vector axis, BoardPoint done, BoardPoint candidate, std::int32_t steps) {
  return Dot(Between(done, candidate), axis) * steps > 0.0;
}

}  // namespace

bool IsSlip(std::uint32_t pointCount, const std::array<BoardPoint, kMaxPoints>& points,
            const std::bitset<kMaxPoints>& measured, std::int32_t target, BoardPoint measurement) {
  const GridShape* shape = FindGridShape(pointCount);
  if (shape == nullptr || target < 1 || static_cast<std::uint32_t>(target) > pointCount) return false;
  const std::int32_t p = target - 1;
  const std::int32_t rows = shape->pointRows;
  // A target measured again replaces its own entry: only the others count.
  std::bitset<kMaxPoints> others = measured;
  others.reset(p);

  const double tooClose = GridSpacing(*shape, points, others) / 4;
  const std::optional<Vector> columnAxis = LearnedAxis(points, others, 0, rows);
  const std::optional<Vector> rowAxis = LearnedAxis(points, others, 0, 1);
  for (std::int32_t q = 0; q < static_cast<std::int32_t>(pointCount); ++q) {
    if (!others[q]) continue;
    if (Length(Between(points[q], measurement)) < tooClose) return true;
    const std::int32_t columnSteps = p / rows - q / rows;
    const std::int32_t rowSteps = p % rows - q % rows;
    if (rowSteps == 0 && columnAxis && !KeepsOrder(*columnAxis, points[q], measurement, columnSteps)) return true;
    if (columnSteps == 0 && rowAxis && !KeepsOrder(*rowAxis, points[q], measurement, rowSteps)) return true;
  }
  return false;
}

}  // namespace velno
