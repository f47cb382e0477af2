#include "calibration/grid_fit.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

#include "calibration/matrix8.h"

namespace velno {
namespace {

constexpr double kBoardUnits = 32768.0;
// A picture covers at least a quarter of its board each way, its targets span 30/32 of it, and a keystone
// shortens a step to 0.6 of the longest: no step along a board axis is shorter before one is measured. A
// low estimate only lets more through; a target touched twice lands within a few dozen units.
constexpr double kLowestSpan = kBoardUnits / 4 * 30 / 32 * 0.6;
constexpr double kSamePlaceShare = 0.25;       // of the step along each board axis
constexpr double kOffLineShare = 0.3;          // of a step, across the line of a row or column
constexpr double kOffPredictionShare = 0.3;    // of a step, along each grid axis
constexpr double kShortestEdgeShare = 0.55;    // of the opposite edge of a cell

struct Vec {
  double x;
  double y;
};

Vec Between(BoardPoint from, BoardPoint to) {
  return {static_cast<double>(to.x) - from.x, static_cast<double>(to.y) - from.y};
}
double Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y; }
double Cross(Vec a, Vec b) { return a.x * b.y - a.y * b.x; }
double Length(Vec v) { return std::hypot(v.x, v.y); }

// One measured point and its place in the grid.
struct Placed {
  int col;
  int row;
  BoardPoint at;
};

class Grid {
 public:
  Grid(const GridShape& shape, const PassPoints& pass) : shape_(shape), pass_(pass) {
    for (int p = 0; p < static_cast<int>(shape.pointCount); ++p) {
      if (pass.measured[p]) placed_.push_back({p / shape.pointRows, p % shape.pointRows, pass.points[p]});
    }
  }

  int cols() const { return shape_.pointCols; }
  int rows() const { return shape_.pointRows; }
  const std::vector<Placed>& placed() const { return placed_; }
  bool Has(int col, int row) const {
    return col >= 0 && row >= 0 && col < cols() && row < rows() && pass_.measured[col * rows() + row];
  }
  BoardPoint At(int col, int row) const { return pass_.points[col * rows() + row]; }

 private:
  const GridShape& shape_;
  const PassPoints& pass_;
  std::vector<Placed> placed_;
};

// The shortest step between neighbouring targets measured along each board axis (a step runs along the
// axis it moves furthest on), never below the low estimate: a keystone makes the steps of one axis
// differ, and the shortest is what a genuine touch can come closest to another with, but a slip on a
// neighbour's place makes a step of nothing.
struct AxisSteps {
  double x;
  double y;
};

AxisSteps StepsAlongAxes(const Grid& grid) {
  const double unmeasured = kLowestSpan / (std::max(grid.cols(), grid.rows()) - 1);
  double x = std::numeric_limits<double>::infinity();
  double y = x;
  for (const Placed& p : grid.placed()) {
    for (const auto& [col, row] : {std::pair{p.col, p.row + 1}, std::pair{p.col + 1, p.row}}) {
      if (!grid.Has(col, row)) continue;
      const Vec step = Between(p.at, grid.At(col, row));
      if (std::fabs(step.x) >= std::fabs(step.y)) {
        x = std::min(x, std::fabs(step.x));
      } else {
        y = std::min(y, std::fabs(step.y));
      }
    }
  }
  const auto atLeastLowest = [unmeasured](double step) {
    return std::isfinite(step) ? std::max(step, unmeasured) : unmeasured;
  };
  return {atLeastLowest(x), atLeastLowest(y)};
}

bool Close(const AxisSteps& steps, BoardPoint a, BoardPoint b) {
  const Vec d = Between(a, b);
  return std::fabs(d.x) < steps.x * kSamePlaceShare && std::fabs(d.y) < steps.y * kSamePlaceShare;
}

bool AllApart(const Grid& grid) {
  const AxisSteps steps = StepsAlongAxes(grid);
  const auto& placed = grid.placed();
  for (std::size_t i = 0; i < placed.size(); ++i) {
    for (std::size_t j = i + 1; j < placed.size(); ++j) {
      if (Close(steps, placed[i].at, placed[j].at)) return false;
    }
  }
  return true;
}

// Along a row (or column), each target lies on the same side of an earlier one as the next column (or
// row) lies of the first, on the direction from target 1 to the first target of the next column (or
// row). A keystone or a turn of up to 10 degrees turns a row far less than the right angle at which
// this sign would flip.
bool InOrder(const Grid& grid) {
  const bool rowKnown = grid.Has(0, 0) && grid.Has(1, 0);
  const bool columnKnown = grid.Has(0, 0) && grid.Has(0, 1);
  const Vec alongRow = rowKnown ? Between(grid.At(0, 0), grid.At(1, 0)) : Vec{0, 0};
  const Vec alongColumn = columnKnown ? Between(grid.At(0, 0), grid.At(0, 1)) : Vec{0, 0};
  for (const Placed& a : grid.placed()) {
    for (const Placed& b : grid.placed()) {
      if (rowKnown && a.row == b.row && b.col > a.col && Dot(Between(a.at, b.at), alongRow) <= 0) return false;
      if (columnKnown && a.col == b.col && b.row > a.row && Dot(Between(a.at, b.at), alongColumn) <= 0) return false;
    }
  }
  return true;
}

// The largest share of a line's extent that one of its `steps` steps takes: even steps, but a keystone
// makes one end's steps up to 1 / 0.6 of the other's.
double LongestStepShare(int steps) { return 1.7 / (steps + 0.7); }

// The measured points of one row or column, in target order: on a line, in order, and no step longer
// than the board leaves room for. `at(i)` is the i-th place along the line.
template <typename PlaceAt>
bool LineHolds(const Grid& grid, int length, PlaceAt at) {
  std::vector<std::pair<int, BoardPoint>> line;
  for (int i = 0; i < length; ++i) {
    const auto [col, row] = at(i);
    if (grid.Has(col, row)) line.push_back({i, grid.At(col, row)});
  }
  const double longest = kBoardUnits * LongestStepShare(length - 1);
  for (std::size_t i = 1; i < line.size(); ++i) {
    const Vec step = Between(line[i - 1].second, line[i].second);
    const int apart = line[i].first - line[i - 1].first;
    if (std::fabs(step.x) > longest * apart || std::fabs(step.y) > longest * apart) return false;
  }
  if (line.size() < 3) return true;
  const auto [firstIndex, first] = line.front();
  const auto [lastIndex, last] = line.back();
  const Vec span = Between(first, last);
  const double spanLength = Length(span);
  if (spanLength == 0.0) return false;
  const double step = spanLength / (lastIndex - firstIndex);
  double previous = 0.0;
  for (std::size_t i = 1; i + 1 < line.size(); ++i) {
    const Vec offset = Between(first, line[i].second);
    const double along = Dot(offset, span) / spanLength;
    if (std::fabs(Cross(span, offset)) / spanLength > step * kOffLineShare) return false;
    if (along <= previous || along >= spanLength) return false;
    previous = along;
  }
  return true;
}

bool LinesHold(const Grid& grid) {
  for (int col = 0; col < grid.cols(); ++col) {
    if (!LineHolds(grid, grid.rows(), [col](int i) { return std::pair{col, i}; })) return false;
  }
  for (int row = 0; row < grid.rows(); ++row) {
    if (!LineHolds(grid, grid.cols(), [row](int i) { return std::pair{i, row}; })) return false;
  }
  return true;
}

// Every cell measured whole: convex, its corners going round the same way as every other cell's (a
// mirrored board turns them all), and no edge under half of the opposite one.
bool CellsHold(const Grid& grid) {
  double turn = 0.0;
  for (int col = 0; col + 1 < grid.cols(); ++col) {
    for (int row = 0; row + 1 < grid.rows(); ++row) {
      if (!grid.Has(col, row) || !grid.Has(col, row + 1) || !grid.Has(col + 1, row + 1) || !grid.Has(col + 1, row)) {
        continue;
      }
      const BoardPoint corners[4] = {grid.At(col, row), grid.At(col, row + 1), grid.At(col + 1, row + 1),
                                     grid.At(col + 1, row)};
      Vec edges[4];
      for (int i = 0; i < 4; ++i) edges[i] = Between(corners[i], corners[(i + 1) % 4]);
      for (int i = 0; i < 4; ++i) {
        const double corner = Cross(edges[i], edges[(i + 1) % 4]);
        if (corner == 0.0 || (turn != 0.0 && (corner > 0) != (turn > 0))) return false;
        turn = corner;
      }
      for (int i = 0; i < 2; ++i) {
        const double a = Length(edges[i]);
        const double b = Length(edges[i + 2]);
        if (std::min(a, b) < kShortestEdgeShare * std::max(a, b)) return false;
      }
    }
  }
  return true;
}

// Four points of the grid fix a projective map only when no three of them lie on a line. A set has no
// such four when a line holds all of it but one point; that line runs through two of any three points.
// The set is `points` without its entry `left` out.
bool FixesProjectiveMap(const std::vector<Placed>& points, std::size_t leftOut) {
  const std::size_t n = points.size() - 1;
  if (n < 4) return false;
  const Placed* first[3];
  for (std::size_t i = 0, taken = 0; taken < 3; ++i) {
    if (i != leftOut) first[taken++] = &points[i];
  }
  const auto onLine = [](const Placed& a, const Placed& b, const Placed& c) {
    return (b.col - a.col) * (c.row - a.row) == (b.row - a.row) * (c.col - a.col);
  };
  for (const auto& [i, j] : {std::pair{0, 1}, std::pair{0, 2}, std::pair{1, 2}}) {
    std::size_t count = 0;
    for (std::size_t k = 0; k < points.size(); ++k) {
      if (k != leftOut && onLine(*first[i], *first[j], points[k])) ++count;
    }
    if (count + 1 >= n) return false;
  }
  return true;
}

// The least-squares projective map from the board to the grid (column, row), board positions centred and
// scaled to about 1: column = (a x + b y + c) / (g x + h y + 1), row = (d x + e y + f) / (g x + h y + 1),
// as the normal equations of the linear form, to which each point adds two rows.
class ProjectiveFit {
 public:
  explicit ProjectiveFit(const Grid& grid) : centreCol_((grid.cols() - 1) / 2.0), centreRow_((grid.rows() - 1) / 2.0) {}

  void Add(const Placed& p, double weight) {
    const auto [x, y] = Scaled(p.at);
    const double col = p.col - centreCol_;
    const double row = p.row - centreRow_;
    AddRow({x, y, 1, 0, 0, 0, -col * x, -col * y}, col, weight);
    AddRow({0, 0, 0, x, y, 1, -row * x, -row * y}, row, weight);
  }

  // How far from its place in the grid the fit puts `p`, in steps along each grid axis; nullopt when the
  // points added fix no map.
  std::optional<Vec> Miss(const Placed& p) const {
    const auto solved = SolveLinear8(normal_, right_);
    if (!solved) return std::nullopt;
    const auto& m = *solved;
    const auto [x, y] = Scaled(p.at);
    const double w = m[6] * x + m[7] * y + 1;
    if (w == 0.0) return Vec{std::numeric_limits<double>::infinity(), 0};
    return Vec{(m[0] * x + m[1] * y + m[2]) / w - (p.col - centreCol_),
               (m[3] * x + m[4] * y + m[5]) / w - (p.row - centreRow_)};
  }

 private:
  static Vec Scaled(BoardPoint p) { return {p.x / kBoardUnits - 0.5, p.y / kBoardUnits - 0.5}; }

  void AddRow(const std::array<double, 8>& row, double value, double weight) {
    for (int i = 0; i < 8; ++i) {
      for (int j = 0; j < 8; ++j) normal_[i * 8 + j] += weight * row[i] * row[j];
      right_[i] += weight * row[i] * value;
    }
  }

  double centreCol_;
  double centreRow_;
  Matrix8 normal_{};
  std::array<double, 8> right_{};
};

// Each point against the map the others fix: where a single slip hides in the fit of all, it stands out
// from the fit of the rest.
bool EachWhereTheOthersPutIt(const Grid& grid) {
  const std::vector<Placed>& placed = grid.placed();
  if (placed.size() < 5) return true;
  ProjectiveFit all(grid);
  for (const Placed& p : placed) all.Add(p, 1);
  for (std::size_t i = 0; i < placed.size(); ++i) {
    if (!FixesProjectiveMap(placed, i)) continue;
    ProjectiveFit rest = all;
    rest.Add(placed[i], -1);
    const std::optional<Vec> miss = rest.Miss(placed[i]);
    if (miss && (std::fabs(miss->x) > kOffPredictionShare || std::fabs(miss->y) > kOffPredictionShare)) return false;
  }
  return true;
}

}  // namespace

bool FitsGrid(const GridShape& shape, const PassPoints& pass) {
  const Grid grid(shape, pass);
  return AllApart(grid) && InOrder(grid) && LinesHold(grid) && CellsHold(grid) && EachWhereTheOthersPutIt(grid);
}

bool SamePlace(const GridShape& shape, const PassPoints& pass, BoardPoint a, BoardPoint b) {
  return Close(StepsAlongAxes(Grid(shape, pass)), a, b);
}

}  // namespace velno
