#include "check_crosses.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "board_facts.h"

namespace adjust {
namespace {

// The places the crosses are meant for: the screen's middle, then the middles of its quarters.
constexpr std::array<Fraction2, kCheckCrosses> kPlaces{
    {{0.5, 0.5}, {0.25, 0.25}, {0.75, 0.25}, {0.25, 0.75}, {0.75, 0.75}}};

Fraction2 Midpoint(const Fraction2& a, const Fraction2& b) { return {(a.x + b.x) / 2, (a.y + b.y) / 2}; }

double SquaredDistance(const Fraction2& a, const Fraction2& b) {
  return (a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y);
}

// The index of the unused candidate nearest `to` (the first of equals).
std::size_t Nearest(const Fraction2& to, const std::vector<Fraction2>& candidates, const std::vector<bool>& used) {
  std::size_t best = candidates.size();
  double bestDistance = std::numeric_limits<double>::infinity();
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    const double distance = SquaredDistance(to, candidates[i]);
    if (!used[i] && distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  return best;
}

// The grid's columns and rows, unsigned as the loops below count them; {0, 0} for a count that is not a grid.
struct GridSize {
  std::uint32_t columns;
  std::uint32_t rows;
};

GridSize GridSizeFor(std::uint32_t count) {
  const velno::GridShape* shape = velno::FindGridShape(count);
  if (shape == nullptr) return {0, 0};
  return {static_cast<std::uint32_t>(shape->pointCols), static_cast<std::uint32_t>(shape->pointRows)};
}

Fraction2 Target(const GridSize& shape, std::uint32_t column, std::uint32_t row, std::uint32_t count) {
  return TargetFraction(column * shape.rows + row, count);
}

}  // namespace

std::array<Fraction2, kCheckCrosses> CheckCrossFractions(std::uint32_t count) {
  std::array<Fraction2, kCheckCrosses> crosses;
  crosses.fill({0.5, 0.5});
  const GridSize shape = GridSizeFor(count);
  if (shape.rows == 0) return crosses;

  std::vector<Fraction2> cells;
  for (std::uint32_t column = 0; column + 1 < shape.columns; ++column) {
    for (std::uint32_t row = 0; row + 1 < shape.rows; ++row) {
      cells.push_back(Midpoint(Target(shape, column, row, count), Target(shape, column + 1, row + 1, count)));
    }
  }
  const std::vector<Fraction2> places(kPlaces.begin(), kPlaces.end());
  std::vector<bool> placeTaken(kCheckCrosses, false);
  if (cells.size() >= kCheckCrosses) {
    std::vector<bool> cellUsed(cells.size(), false);
    for (std::size_t p = 0; p < kCheckCrosses; ++p) {
      const std::size_t cell = Nearest(places[p], cells, cellUsed);
      cellUsed[cell] = true;
      crosses[p] = cells[cell];
    }
    return crosses;
  }

  for (const Fraction2& cell : cells) {
    const std::size_t place = Nearest(cell, places, placeTaken);
    placeTaken[place] = true;
    crosses[place] = cell;
  }
  std::vector<Fraction2> midpoints;
  for (std::uint32_t column = 0; column < shape.columns; ++column) {
    for (std::uint32_t row = 0; row < shape.rows; ++row) {
      const Fraction2 target = Target(shape, column, row, count);
      if (row + 1 < shape.rows) midpoints.push_back(Midpoint(target, Target(shape, column, row + 1, count)));
      if (column + 1 < shape.columns) midpoints.push_back(Midpoint(target, Target(shape, column + 1, row, count)));
    }
  }
  std::vector<bool> midpointUsed(midpoints.size(), false);
  for (std::size_t p = 0; p < kCheckCrosses; ++p) {
    if (placeTaken[p]) continue;
    const std::size_t midpoint = Nearest(places[p], midpoints, midpointUsed);
    midpointUsed[midpoint] = true;
    crosses[p] = midpoints[midpoint];
  }
  return crosses;
}

Pixel CheckCrossPoint(std::uint32_t i, std::uint32_t count, std::int32_t width, std::int32_t height) {
  const Fraction2 f = CheckCrossFractions(count)[i];
  return {static_cast<std::int32_t>(width * f.x), static_cast<std::int32_t>(height * f.y)};
}

}  // namespace adjust
