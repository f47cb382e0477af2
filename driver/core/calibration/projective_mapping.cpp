#include "calibration/projective_mapping.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "calibration/calibration_grid.h"

namespace velno {
namespace {

using CellCoefficients = std::array<double, 8>;  // a, b, c, d, e, f, g, h

// A cell is refused when three of its corners come closer to a line than this share of its size allows
// (for a cell 10000 board units across: a corner within about 10 units of the line through two others).
constexpr double kMinCornerTriangleShare = 1e-3;
// How far a solved cell may map one of its own corners from the corner's target, absolute input units.
constexpr double kCornerRoundTripUnits = 2.0;

// Exact product of two int32 values as a double; stored points may be anything a settings file holds.
double Product(std::int32_t a, std::int32_t b) {
  return static_cast<double>(static_cast<std::int64_t>(a) * b);
}

// The system whose solution carries each raw corner (u, v) onto its target (X, Y):
// X = (a u + b v + c) / (g u + h v + 1), Y = (d u + e v + f) / (g u + h v + 1).
Matrix8 BuildSystem(const CellCorners& corners) {
  Matrix8 m{};
  for (int k = 0; k < 4; ++k) {
    const std::int32_t u = corners.rawX[k];
    const std::int32_t v = corners.rawY[k];
    double* rowX = &m[k * 8];
    double* rowY = &m[(4 + k) * 8];
    rowX[0] = u;
    rowX[1] = v;
    rowX[2] = 1;
    rowX[6] = -Product(corners.targetX[k], u);
    rowX[7] = -Product(corners.targetX[k], v);
    rowY[3] = u;
    rowY[4] = v;
    rowY[5] = 1;
    rowY[6] = -Product(corners.targetY[k], u);
    rowY[7] = -Product(corners.targetY[k], v);
  }
  return m;
}

// Twice the area of the triangle (a, b, c), in double: exact for board positions, and free of overflow
// for whatever a settings file holds.
double DoubledArea(double ax, double ay, double bx, double by, double cx, double cy) {
  return std::fabs((bx - ax) * (cy - ay) - (by - ay) * (cx - ax));
}

// A projective transform carries four corners onto the four corners of a rectangle only when no three of
// them lie on a line. The system's determinant is no test for that: rounding leaves it a little off 0
// for coinciding or collinear corners. So each triangle of three corners must keep an area that is a
// share of the cell's size (its longest side or diagonal, squared), whatever the scale of the points.
bool CornersSpanACell(const CellCorners& corners) {
  double extentSquared = 0.0;
  for (int i = 0; i < 4; ++i) {
    for (int j = i + 1; j < 4; ++j) {
      const double dx = static_cast<double>(corners.rawX[i]) - corners.rawX[j];
      const double dy = static_cast<double>(corners.rawY[i]) - corners.rawY[j];
      extentSquared = std::max(extentSquared, dx * dx + dy * dy);
    }
  }
  for (int left = 0; left < 4; ++left) {
    const int a = (left + 1) % 4, b = (left + 2) % 4, c = (left + 3) % 4;
    const double area = DoubledArea(corners.rawX[a], corners.rawY[a], corners.rawX[b], corners.rawY[b],
                                    corners.rawX[c], corners.rawY[c]);
    if (!(area > 0.0 && area >= kMinCornerTriangleShare * extentSquared)) return false;
  }
  return true;
}

// Each raw corner must map back onto its target: an ill-conditioned solve that passed the shape test
// still shows here.
bool MapsCornersOntoTargets(const CellCorners& corners, const CellCoefficients& k) {
  for (int i = 0; i < 4; ++i) {
    const double u = corners.rawX[i], v = corners.rawY[i];
    const double denominator = u * k[6] + v * k[7] + 1;
    const double x = (u * k[0] + v * k[1] + k[2]) / denominator;
    const double y = (u * k[3] + v * k[4] + k[5]) / denominator;
    if (!(std::fabs(x - corners.targetX[i]) <= kCornerRoundTripUnits) ||
        !(std::fabs(y - corners.targetY[i]) <= kCornerRoundTripUnits)) {
      return false;
    }
  }
  return true;
}

// Cramer's rule. Empty when the cell has no finite, well-conditioned transform.
std::optional<CellCoefficients> SolveCell(const CellCorners& corners) {
  if (!CornersSpanACell(corners)) return std::nullopt;
  const Matrix8 system = BuildSystem(corners);
  const std::array<double, 8> rhs{
      static_cast<double>(corners.targetX[0]), static_cast<double>(corners.targetX[1]),
      static_cast<double>(corners.targetX[2]), static_cast<double>(corners.targetX[3]),
      static_cast<double>(corners.targetY[0]), static_cast<double>(corners.targetY[1]),
      static_cast<double>(corners.targetY[2]), static_cast<double>(corners.targetY[3])};

  Matrix8 work;
  CopyMatrix8(system, work);
  const double determinant = Determinant8(work);
  if (determinant == 0.0 || !std::isfinite(determinant)) return std::nullopt;
  const double inverse = 1.0 / determinant;

  CellCoefficients coefficients;
  for (int j = 0; j < 8; ++j) {
    CopyMatrix8(system, work);
    for (int i = 0; i < 8; ++i) work[i * 8 + j] = rhs[i];
    coefficients[j] = Determinant8(work) * inverse;
    if (!std::isfinite(coefficients[j])) return std::nullopt;
  }
  if (!MapsCornersOntoTargets(corners, coefficients)) return std::nullopt;
  return coefficients;
}

// Rounds a mapped coordinate as the pointer output expects (add 0.5, truncate toward zero), saturating
// at the int32 range instead of overflowing; a NaN from a degenerate quotient gives 0.
std::int32_t RoundToInputUnits(double value) {
  const double shifted = value + 0.5;
  if (std::isnan(shifted)) return 0;
  if (shifted >= 2147483648.0) return std::numeric_limits<std::int32_t>::max();
  if (shifted <= -2147483649.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(shifted);
}

}  // namespace

void SolveCellTransforms(CalibrationBlock& calibration) {
  if (!calibration.calibrated) return;
  ComputeCellCentres(calibration);
  // Solved into a scratch table first: one singular cell leaves every cell as it was and the board
  // uncalibrated, so no position is ever mapped through an infinite or NaN coefficient.
  std::array<CellCoefficients, kMaxPoints> solved;
  for (std::int32_t q = 0; q < calibration.cellCount; ++q) {
    const std::optional<CellCoefficients> cell = SolveCell(GetCellCorners(calibration, q));
    if (!cell) {
      calibration.calibrated = false;
      return;
    }
    solved[q] = *cell;
  }
  for (std::int32_t q = 0; q < calibration.cellCount; ++q) {
    for (int j = 0; j < 8; ++j) calibration.cellCoefficients[j][q] = solved[q][j];
  }
}

ScreenPoint MapPoint(const CalibrationBlock& calibration, std::int32_t x, std::int32_t y) {
  const std::int32_t q = FindNearestCell(calibration, x, y);
  const auto& table = calibration.cellCoefficients;
  const double a = table[0][q], b = table[1][q], c = table[2][q], d = table[3][q];
  const double e = table[4][q], f = table[5][q], g = table[6][q], h = table[7][q];
  const double denominator = x * g + y * h + 1;
  return {RoundToInputUnits((x * a + y * b + c) / denominator),
          RoundToInputUnits((x * d + y * e + f) / denominator)};
}

}  // namespace velno
