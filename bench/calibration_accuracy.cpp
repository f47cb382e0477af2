// How many points should a user calibrate with? A synthetic board with a known pen-to-screen relation
// (keystone, radial lens distortion, noisy measurements) is calibrated through the driver's own grid
// solve for every point count, and compared with two simpler fits of the same measured points: a
// least-squares affine transform and one projective transform through the four corner points.
// Errors are in pixels of a 1920 x 1080 screen over a dense grid of positions inside the calibrated
// area. Prints a Markdown table.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <vector>

#include "calibration/calibration_grid.h"
#include "calibration/projective_mapping.h"

namespace velno {
namespace {

constexpr double kBoardMax = 32767.0;
constexpr double kScreenWidthPx = 1920.0;
constexpr double kScreenHeightPx = 1080.0;
constexpr double kInputUnitsPerScreen = 65536.0;
constexpr std::array<std::uint32_t, 7> kPointCounts{4, 6, 9, 12, 16, 20, 25};

struct Vec2 {
  double x;
  double y;
};

// Where the board's corners land on the screen, in absolute input units: the projected image is
// smaller than the writing surface, tilted slightly and wider at the bottom (projector keystone).
struct Quad {
  Vec2 topLeft, topRight, bottomRight, bottomLeft;
};

// The true relation between pen and screen.
struct BoardModel {
  const char* name;
  double radialK;       // < 0 barrel, > 0 pincushion; relative displacement at the board's corners
  double noiseSigma;    // board units, standard deviation of each measured calibration point
  Quad keystone;
};

// Projective map of the unit square onto a quadrilateral (Heckbert's closed form).
Vec2 SquareToQuad(const Quad& q, double s, double t) {
  const Vec2 p0 = q.topLeft, p1 = q.topRight, p2 = q.bottomRight, p3 = q.bottomLeft;
  const double sx = p0.x - p1.x + p2.x - p3.x;
  const double sy = p0.y - p1.y + p2.y - p3.y;
  double a, b, c, d, e, f, g, h;
  if (sx == 0.0 && sy == 0.0) {
    a = p1.x - p0.x, b = p2.x - p1.x, c = p0.x, d = p1.y - p0.y, e = p2.y - p1.y, f = p0.y, g = 0, h = 0;
  } else {
    const double dx1 = p1.x - p2.x, dx2 = p3.x - p2.x, dy1 = p1.y - p2.y, dy2 = p3.y - p2.y;
    const double det = dx1 * dy2 - dx2 * dy1;
    g = (sx * dy2 - dx2 * sy) / det;
    h = (dx1 * sy - sx * dy1) / det;
    a = p1.x - p0.x + g * p1.x, b = p3.x - p0.x + h * p3.x, c = p0.x;
    d = p1.y - p0.y + g * p1.y, e = p3.y - p0.y + h * p3.y, f = p0.y;
  }
  const double w = g * s + h * t + 1.0;
  return {(a * s + b * t + c) / w, (d * s + e * t + f) / w};
}

// Board position (board units) to screen position (absolute input units).
Vec2 PenToScreen(const BoardModel& model, Vec2 board) {
  // Radial distortion about the board's centre, normalised so the corners sit at radius 1.
  const double u = board.x / kBoardMax * 2.0 - 1.0;
  const double v = board.y / kBoardMax * 2.0 - 1.0;
  const double scale = 1.0 + model.radialK * (u * u + v * v) / 2.0;
  return SquareToQuad(model.keystone, (u * scale + 1.0) / 2.0, (v * scale + 1.0) / 2.0);
}

// Newton's method with a numerical Jacobian; the model is smooth and nearly linear.
Vec2 ScreenToPen(const BoardModel& model, Vec2 screen) {
  Vec2 board{screen.x / 2.0, screen.y / 2.0};
  for (int iteration = 0; iteration < 50; ++iteration) {
    const Vec2 at = PenToScreen(model, board);
    const double rx = at.x - screen.x, ry = at.y - screen.y;
    if (std::fabs(rx) < 1e-9 && std::fabs(ry) < 1e-9) break;
    constexpr double kStep = 1e-3;
    const Vec2 ax = PenToScreen(model, {board.x + kStep, board.y});
    const Vec2 ay = PenToScreen(model, {board.x, board.y + kStep});
    const double j00 = (ax.x - at.x) / kStep, j01 = (ay.x - at.x) / kStep;
    const double j10 = (ax.y - at.y) / kStep, j11 = (ay.y - at.y) / kStep;
    const double det = j00 * j11 - j01 * j10;
    board.x -= (j11 * rx - j01 * ry) / det;
    board.y -= (j00 * ry - j10 * rx) / det;
  }
  return board;
}

std::int32_t RoundToBoardUnit(double value) { return static_cast<std::int32_t>(std::lround(value)); }

// Pixel distance between two screen positions given in absolute input units.
double PixelError(Vec2 expected, Vec2 actual) {
  const double dx = (actual.x - expected.x) * kScreenWidthPx / kInputUnitsPerScreen;
  const double dy = (actual.y - expected.y) * kScreenHeightPx / kInputUnitsPerScreen;
  return std::hypot(dx, dy);
}

// X = a x + b y + c and Y = d x + e y + f, least squares over the measured points.
struct AffineFit {
  std::array<double, 3> xRow;
  std::array<double, 3> yRow;
};

std::array<double, 3> Solve3(std::array<std::array<double, 4>, 3> m) {
  for (int i = 0; i < 3; ++i) {
    int pivot = i;
    for (int r = i + 1; r < 3; ++r)
      if (std::fabs(m[r][i]) > std::fabs(m[pivot][i])) pivot = r;
    std::swap(m[i], m[pivot]);
    for (int r = 0; r < 3; ++r) {
      if (r == i) continue;
      const double factor = m[r][i] / m[i][i];
      for (int j = i; j < 4; ++j) m[r][j] -= factor * m[i][j];
    }
  }
  return {m[0][3] / m[0][0], m[1][3] / m[1][1], m[2][3] / m[2][2]};
}

AffineFit FitAffine(const std::vector<BoardPoint>& raw, const std::vector<BoardPoint>& target) {
  std::array<std::array<double, 4>, 3> forX{}, forY{};
  for (std::size_t k = 0; k < raw.size(); ++k) {
    const std::array<double, 3> basis{static_cast<double>(raw[k].x), static_cast<double>(raw[k].y), 1.0};
    for (int i = 0; i < 3; ++i) {
      for (int j = 0; j < 3; ++j) {
        forX[i][j] += basis[i] * basis[j];
        forY[i][j] += basis[i] * basis[j];
      }
      forX[i][3] += basis[i] * target[k].x;
      forY[i][3] += basis[i] * target[k].y;
    }
  }
  return {Solve3(forX), Solve3(forY)};
}

Vec2 MapAffine(const AffineFit& fit, BoardPoint p) {
  const auto apply = [&](const std::array<double, 3>& row) {
    return std::trunc(row[0] * p.x + row[1] * p.y + row[2] + 0.5);
  };
  return {apply(fit.xRow), apply(fit.yRow)};
}

struct ErrorStats {
  double sum = 0.0;
  double max = 0.0;
  long count = 0;
  void Add(double error) {
    sum += error;
    max = std::max(max, error);
    ++count;
  }
  double Mean() const { return count == 0 ? 0.0 : sum / count; }
};

struct TrialResult {
  ErrorStats grid, affine, corners;
  bool singular = false;
};

// A whole-unit pen position the board would report and the true screen position for it.
struct Probe {
  BoardPoint pen;
  Vec2 truth;
};

// Positions a quarter of a percent of the screen apart across the calibrated area (the targets'
// bounding box, 1/32 to 31/32 of the screen).
std::vector<Probe> ProbeCalibratedArea(const BoardModel& model) {
  constexpr double kFirst = 2048.0, kLast = 63488.0, kStep = 256.0;
  std::vector<Probe> probes;
  for (double sy = kFirst; sy <= kLast; sy += kStep) {
    for (double sx = kFirst; sx <= kLast; sx += kStep) {
      const Vec2 pen = ScreenToPen(model, {sx, sy});
      const BoardPoint at{RoundToBoardUnit(pen.x), RoundToBoardUnit(pen.y)};
      probes.push_back({at, PenToScreen(model, {static_cast<double>(at.x), static_cast<double>(at.y)})});
    }
  }
  return probes;
}

Vec2 ToVec2(ScreenPoint p) { return {static_cast<double>(p.x), static_cast<double>(p.y)}; }

// One calibration run: measure the points at the default targets, fit all three ways, and score them
// at every probe.
TrialResult RunTrial(const BoardModel& model, const std::vector<Probe>& probes, std::uint32_t pointCount,
                     std::mt19937& random) {
  std::normal_distribution<double> noise(0.0, model.noiseSigma);
  const auto measure = [&](double value) {
    return RoundToBoardUnit(value + (model.noiseSigma > 0.0 ? noise(random) : 0.0));
  };

  CalibrationBlock grid;
  grid.adjustType = pointCount;
  LayoutGrid(grid);
  std::vector<BoardPoint> raw, target;
  for (std::uint32_t p = 0; p < pointCount; ++p) {
    const BoardPoint t = grid.targetPoints[p];
    const Vec2 pen = ScreenToPen(model, {static_cast<double>(t.x), static_cast<double>(t.y)});
    grid.rawPoints[p] = {measure(pen.x), measure(pen.y)};
    raw.push_back(grid.rawPoints[p]);
    target.push_back(t);
  }
  grid.calibrated = true;
  SolveCellTransforms(grid);

  // The four corner points of the same run, in four-point order: top-left, bottom-left, top-right,
  // bottom-right.
  CalibrationBlock corners;
  corners.adjustType = 4;
  LayoutGrid(corners);
  const std::int32_t rows = grid.pointRows, cols = grid.pointCols;
  corners.rawPoints[0] = raw[0];
  corners.rawPoints[1] = raw[rows - 1];
  corners.rawPoints[2] = raw[(cols - 1) * rows];
  corners.rawPoints[3] = raw[cols * rows - 1];
  corners.calibrated = true;
  SolveCellTransforms(corners);

  const AffineFit affine = FitAffine(raw, target);

  TrialResult result;
  result.singular = !grid.calibrated || !corners.calibrated;
  if (result.singular) return result;
  for (const Probe& probe : probes) {
    result.grid.Add(PixelError(probe.truth, ToVec2(MapPoint(grid, probe.pen.x, probe.pen.y))));
    result.corners.Add(PixelError(probe.truth, ToVec2(MapPoint(corners, probe.pen.x, probe.pen.y))));
    result.affine.Add(PixelError(probe.truth, MapAffine(affine, probe.pen)));
  }
  return result;
}

// Mean over trials of each trial's mean error and of each trial's largest error.
struct Summary {
  double meanSum = 0.0;
  double maxSum = 0.0;
  int trials = 0;
  void Add(const ErrorStats& stats) {
    meanSum += stats.Mean();
    maxSum += stats.max;
    ++trials;
  }
  double Mean() const { return trials == 0 ? 0.0 : meanSum / trials; }
  double Max() const { return trials == 0 ? 0.0 : maxSum / trials; }
};

void PrintModel(const BoardModel& model, int trials) {
  std::mt19937 random(20240611);
  const std::vector<Probe> probes = ProbeCalibratedArea(model);
  for (std::uint32_t count : kPointCounts) {
    Summary grid, affine, corners;
    int singular = 0;
    for (int trial = 0; trial < trials; ++trial) {
      const TrialResult result = RunTrial(model, probes, count, random);
      if (result.singular) {
        ++singular;
        continue;
      }
      grid.Add(result.grid);
      affine.Add(result.affine);
      corners.Add(result.corners);
    }
    std::printf("| %s | %2u | %6.2f | %6.2f | %6.2f | %6.2f | %6.2f | %6.2f |%s\n", model.name, count, grid.Mean(),
                grid.Max(), affine.Mean(), affine.Max(), corners.Mean(), corners.Max(),
                singular > 0 ? " singular runs skipped" : "");
  }
}

}  // namespace
}  // namespace velno

int main() {
  using velno::BoardModel;
  using velno::Quad;
  // Board corners on the screen: the image sits inside the writing surface, tilted by about half a
  // degree, and its bottom edge is about 4 % wider than its top edge.
  const Quad keystone{{-2600, -1900}, {67700, -1300}, {70300, 67000}, {-5100, 67600}};
  const Quad square{{-2000, -2000}, {67535, -2000}, {67535, 67535}, {-2000, 67535}};
  const BoardModel models[] = {
      {"keystone", 0.0, 0.0, keystone},
      {"barrel 2 %", -0.02, 0.0, square},
      {"pincushion 2 %", 0.02, 0.0, square},
      {"keystone + barrel 2 %", -0.02, 0.0, keystone},
      {"keystone + barrel 2 %, noise 15", -0.02, 15.0, keystone},
      {"keystone + barrel 2 %, noise 40", -0.02, 40.0, keystone},
  };
  const int noisyTrials = 40;

  std::printf("| board | points | grid mean | grid max | affine LS mean | affine LS max | 4-corner mean |"
              " 4-corner max |\n");
  std::printf("|---|---:|---:|---:|---:|---:|---:|---:|\n");
  for (const BoardModel& model : models) velno::PrintModel(model, model.noiseSigma > 0.0 ? noisyTrials : 1);
  return 0;
}
