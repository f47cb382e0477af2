#include "calibration/projective_mapping.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <utility>

#include "calibration/calibration_grid.h"

namespace velno {
namespace {

constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kInt32Min = std::numeric_limits<std::int32_t>::min();

Matrix8 Identity() {
  Matrix8 m{};
  for (int i = 0; i < 8; ++i) m[i * 8 + i] = 1.0;
  return m;
}

// Reference determinant by LU decomposition with partial pivoting in long double.
long double ReferenceDeterminant(const Matrix8& source) {
  long double a[8][8];
  for (int i = 0; i < 8; ++i)
    for (int j = 0; j < 8; ++j) a[i][j] = source[i * 8 + j];
  long double det = 1;
  for (int i = 0; i < 8; ++i) {
    int pivot = i;
    for (int r = i + 1; r < 8; ++r)
      if (std::fabs(a[r][i]) > std::fabs(a[pivot][i])) pivot = r;
    if (a[pivot][i] == 0) return 0;
    if (pivot != i) {
      std::swap(a[pivot], a[i]);
      det = -det;
    }
    det *= a[i][i];
    for (int r = i + 1; r < 8; ++r) {
      const long double factor = a[r][i] / a[i][i];
      for (int j = i; j < 8; ++j) a[r][j] -= factor * a[i][j];
    }
  }
  return det;
}

TEST(Determinant8Test, IdentitySwappedRowsAndEqualRows) {
  Matrix8 identity = Identity();
  EXPECT_EQ(Determinant8(identity), 1.0);

  Matrix8 swapped = Identity();
  for (int j = 0; j < 8; ++j) std::swap(swapped[j], swapped[8 + j]);
  EXPECT_EQ(Determinant8(swapped), -1.0);

  Matrix8 identicalUnitRows = Identity();
  identicalUnitRows[8 + 0] = 1.0;
  identicalUnitRows[8 + 1] = 0.0;
  EXPECT_EQ(Determinant8(identicalUnitRows), 0.0);
}

TEST(Determinant8Test, EqualRowsLeaveOnlyRoundingResidue) {
  Matrix8 equalRows{};
  for (int i = 0; i < 8; ++i)
    for (int j = 0; j < 8; ++j) equalRows[i * 8 + j] = (i * j * j + 3 * i + j) % 17 + 0.1 * i;
  for (int j = 0; j < 8; ++j) equalRows[5 * 8 + j] = equalRows[2 * 8 + j];
  // Hadamard's bound: |det| is at most the product of the row lengths.
  double bound = 1.0;
  for (int i = 0; i < 8; ++i) {
    double squares = 0.0;
    for (int j = 0; j < 8; ++j) squares += equalRows[i * 8 + j] * equalRows[i * 8 + j];
    bound *= std::sqrt(squares);
  }
  EXPECT_LE(std::fabs(Determinant8(equalRows)), 1e-14 * bound);
}

TEST(Determinant8Test, ScaledPermutationNeedsRowAndColumnSwaps) {
  // Entry k + 1 at (k, 7 - k): the reversal of eight elements is an even permutation.
  Matrix8 antiDiagonal{};
  for (int k = 0; k < 8; ++k) antiDiagonal[k * 8 + (7 - k)] = k + 1;
  EXPECT_EQ(Determinant8(antiDiagonal), 40320.0);

  // One more transposition makes it odd.
  Matrix8 odd{};
  for (int k = 0; k < 8; ++k) odd[k * 8 + (7 - k)] = k + 1;
  for (int j = 0; j < 8; ++j) std::swap(odd[j], odd[8 + j]);
  EXPECT_EQ(Determinant8(odd), -40320.0);
}

TEST(Determinant8Test, ZeroColumnGivesZero) {
  Matrix8 m = Identity();
  m[3 * 8 + 3] = 0.0;
  EXPECT_EQ(Determinant8(m), 0.0);
}

TEST(Determinant8Test, AgreesWithAReferenceOnRandomMatrices) {
  std::mt19937 random(20240611);
  std::uniform_real_distribution<double> entry(-50000.0, 50000.0);
  for (int trial = 0; trial < 200; ++trial) {
    Matrix8 m;
    for (double& value : m) value = entry(random);
    const long double expected = ReferenceDeterminant(m);
    Matrix8 work;
    CopyMatrix8(m, work);
    const double actual = Determinant8(work);
    EXPECT_NEAR(actual / static_cast<double>(expected), 1.0, 1e-9) << "trial " << trial;
  }
}

// A grid laid out for pointCount with rawPoints filled by rawOf(target) and marked calibrated.
template <typename RawOf>
CalibrationBlock CalibratedGrid(std::uint32_t pointCount, RawOf rawOf) {
  CalibrationBlock ctx;
  ctx.adjustType = pointCount;
  LayoutGrid(ctx);
  for (std::uint32_t p = 0; p < pointCount; ++p) ctx.rawPoints[p] = rawOf(ctx.targetPoints[p]);
  ctx.calibrated = true;
  return ctx;
}

BoardPoint Halved(BoardPoint target) { return {target.x / 2, target.y / 2}; }

TEST(SolveCellTransformsTest, HalvedNinePointGridSolvesToAPureScaleOfTwo) {
  CalibrationBlock ctx = CalibratedGrid(9, Halved);
  SolveCellTransforms(ctx);
  ASSERT_TRUE(ctx.calibrated);
  for (int q = 0; q < 4; ++q) {
    SCOPED_TRACE(q);
    const auto& c = ctx.cellCoefficients;
    EXPECT_NEAR(c[0][q], 2.0, 1e-12);    // a
    EXPECT_NEAR(c[1][q], 0.0, 1e-12);    // b
    EXPECT_NEAR(c[2][q], 0.0, 1e-9);     // c, absolute input units
    EXPECT_NEAR(c[3][q], 0.0, 1e-12);    // d
    EXPECT_NEAR(c[4][q], 2.0, 1e-12);    // e
    EXPECT_NEAR(c[5][q], 0.0, 1e-9);     // f
    EXPECT_NEAR(c[6][q], 0.0, 1e-15);    // g
    EXPECT_NEAR(c[7][q], 0.0, 1e-15);    // h
  }
  EXPECT_EQ(MapPoint(ctx, 1000, 3000), (ScreenPoint{2000, 6000}));
}

TEST(SolveCellTransformsTest, ComputesNothingWhileUncalibrated) {
  CalibrationBlock ctx = CalibratedGrid(9, Halved);
  ctx.calibrated = false;
  SolveCellTransforms(ctx);
  EXPECT_EQ(ctx.cellCoefficients, (CalibrationBlock{}.cellCoefficients));
  EXPECT_FALSE(ctx.calibrated);
}

TEST(SolveCellTransformsTest, CentresFollowTheMeasuredPoints) {
  CalibrationBlock ctx = CalibratedGrid(4, Halved);
  ctx.cellCentres[0] = {0, 0};
  SolveCellTransforms(ctx);
  EXPECT_EQ(ctx.cellCentres[0], (BoardPoint{16384, 16384}));
}

TEST(SingleCell, MapsEveryPositionWithItsTransformUnclamped) {
  // target = 4 * (raw - 1000) + 2048 exactly, on both axes.
  CalibrationBlock ctx = CalibratedGrid(4, [](BoardPoint t) {
    return BoardPoint{(t.x - 2048) / 4 + 1000, (t.y - 2048) / 4 + 1000};
  });
  SolveCellTransforms(ctx);
  ASSERT_TRUE(ctx.calibrated);
  EXPECT_EQ(MapPoint(ctx, 5000, 9000), (ScreenPoint{18048, 34048}));
  EXPECT_EQ(MapPoint(ctx, 32767, 20000), (ScreenPoint{129116, 78048}));
  // -1952 exactly: adding 0.5 and truncating toward zero gives -1951.
  EXPECT_EQ(MapPoint(ctx, 0, 1000), (ScreenPoint{-1951, 2048}));
}

TEST(SingleCell, KeystoneQuadMapsDiagonalCrossingOntoScreenCentre) {
  // A projective map keeps lines: where the raw quad's diagonals cross maps to where the targets'
  // diagonals cross, the screen centre (32768, 32768). An affine or bilinear fit would miss it.
  const BoardPoint corners[4] = {{3000, 1500}, {1200, 31000}, {31500, 32000}, {28000, 4000}};
  CalibrationBlock ctx;
  ctx.adjustType = 4;
  LayoutGrid(ctx);
  ctx.rawPoints[0] = corners[0];  // top-left
  ctx.rawPoints[1] = corners[1];  // bottom-left
  ctx.rawPoints[2] = corners[3];  // top-right
  ctx.rawPoints[3] = corners[2];  // bottom-right
  ctx.calibrated = true;
  SolveCellTransforms(ctx);
  ASSERT_TRUE(ctx.calibrated);

  // Diagonals: corner 0 to corner 2 and corner 1 to corner 3 (corner order around the cell).
  const double x1 = corners[0].x, y1 = corners[0].y, x2 = corners[2].x, y2 = corners[2].y;
  const double x3 = corners[1].x, y3 = corners[1].y, x4 = corners[3].x, y4 = corners[3].y;
  const double denom = (x1 - x2) * (y3 - y4) - (y1 - y2) * (x3 - x4);
  const double t = ((x1 - x3) * (y3 - y4) - (y1 - y3) * (x3 - x4)) / denom;
  const double crossX = x1 + t * (x2 - x1);
  const double crossY = y1 + t * (y2 - y1);
  // The crossing is not on the integer lattice; one board unit is about two input units here.
  const ScreenPoint mapped = MapPoint(ctx, static_cast<std::int32_t>(std::lround(crossX)),
                                      static_cast<std::int32_t>(std::lround(crossY)));
  EXPECT_NEAR(mapped.x, 32768, 3);
  EXPECT_NEAR(mapped.y, 32768, 3);
}

class EveryPointCount : public testing::TestWithParam<std::uint32_t> {};

TEST_P(EveryPointCount, RandomGridsMapEveryCalibrationPointOntoItsTarget) {
  std::mt19937 random(7919 + GetParam());
  std::uniform_int_distribution<std::int32_t> jitter(-1200, 1200);
  std::uniform_real_distribution<double> scale(0.35, 0.45);
  for (int trial = 0; trial < 25; ++trial) {
    const double sx = scale(random), sy = scale(random);
    CalibrationBlock ctx = CalibratedGrid(GetParam(), [&](BoardPoint t) {
      return BoardPoint{static_cast<std::int32_t>(t.x * sx) + 1500 + jitter(random),
                        static_cast<std::int32_t>(t.y * sy) + 1500 + jitter(random)};
    });
    SolveCellTransforms(ctx);
    ASSERT_TRUE(ctx.calibrated) << "trial " << trial;
    for (std::uint32_t p = 0; p < GetParam(); ++p) {
      const BoardPoint raw = ctx.rawPoints[p];
      const BoardPoint target = ctx.targetPoints[p];
      EXPECT_EQ(MapPoint(ctx, raw.x, raw.y), (ScreenPoint{target.x, target.y}))
          << "trial " << trial << " point " << p;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(SolveAndMap, EveryPointCount, testing::Values(4u, 6u, 9u, 12u, 16u, 20u, 25u));

TEST(SingularCalibration, OneCollapsedCellLeavesEveryCellAsItWas) {
  CalibrationBlock ctx = CalibratedGrid(16, Halved);
  SolveCellTransforms(ctx);
  ASSERT_TRUE(ctx.calibrated);
  const auto before = ctx.cellCoefficients;
  // Point 5 moved onto point 6 collapses cells 1 and 4; cell 0, solved before them, changes shape and
  // must not take its new coefficients either.
  ctx.rawPoints[5] = ctx.rawPoints[6];
  SolveCellTransforms(ctx);

  EXPECT_FALSE(ctx.calibrated);
  EXPECT_EQ(ctx.cellCoefficients, before);
}

// A random, well-shaped grid of `pointCount` points, as EveryPointCount uses them.
CalibrationBlock RandomGrid(std::uint32_t pointCount, std::mt19937& random) {
  std::uniform_int_distribution<std::int32_t> jitter(-1200, 1200);
  std::uniform_real_distribution<double> scale(0.35, 0.45);
  const double sx = scale(random), sy = scale(random);
  return CalibratedGrid(pointCount, [&](BoardPoint t) {
    return BoardPoint{static_cast<std::int32_t>(t.x * sx) + 1500 + jitter(random),
                      static_cast<std::int32_t>(t.y * sy) + 1500 + jitter(random)};
  });
}

// Changes to a grid's raw points. Point 0 is the top-left corner of cell 0, point 1 the one below it,
// point pointRows the one to its right and pointRows + 1 the fourth corner of cell 0.
struct Degeneration {
  const char* name;
  void (*apply)(CalibrationBlock& ctx);
  bool accepted;
};

const Degeneration kDegenerations[] = {
    {"two corners coincide",
     [](CalibrationBlock& ctx) { ctx.rawPoints[ctx.pointRows + 1] = ctx.rawPoints[0]; }, false},
    {"three corners on a line",
     [](CalibrationBlock& ctx) {
       const BoardPoint a = ctx.rawPoints[0], b = ctx.rawPoints[ctx.pointRows];
       ctx.rawPoints[ctx.pointRows + 1] = {2 * b.x - a.x, 2 * b.y - a.y};
     },
     false},
    {"three corners within a unit of a line",
     [](CalibrationBlock& ctx) {
       const BoardPoint a = ctx.rawPoints[0], b = ctx.rawPoints[ctx.pointRows];
       ctx.rawPoints[ctx.pointRows + 1] = {2 * b.x - a.x, 2 * b.y - a.y + 1};
     },
     false},
    {"last two points missing from the file",
     [](CalibrationBlock& ctx) {
       ctx.rawPoints[ctx.adjustType - 1] = {260, 260};
       ctx.rawPoints[ctx.adjustType - 2] = {260, 260};
     },
     false},
    {"every point equal", [](CalibrationBlock& ctx) { ctx.rawPoints.fill({260, 260}); }, false},
    // The same shape a hundred times smaller is still a calibration: the test scales with the points.
    {"whole grid shrunk a hundredfold",
     [](CalibrationBlock& ctx) {
       for (std::uint32_t p = 0; p < ctx.adjustType; ++p) {
         ctx.rawPoints[p] = {ctx.rawPoints[p].x / 100 + 9000, ctx.rawPoints[p].y / 100 + 9000};
       }
     },
     true},
};

class DegenerateGrid : public testing::TestWithParam<std::uint32_t> {};

// A refused grid falls back as one singular cell does: uncalibrated, every coefficient as it was.
TEST_P(DegenerateGrid, IsRefusedByItsShapeNotByItsScale) {
  std::mt19937 random(104729 + GetParam());
  for (const Degeneration& degeneration : kDegenerations) {
    for (int trial = 0; trial < 20; ++trial) {
      SCOPED_TRACE(testing::Message() << degeneration.name << ", trial " << trial);
      CalibrationBlock ctx = RandomGrid(GetParam(), random);
      SolveCellTransforms(ctx);
      ASSERT_TRUE(ctx.calibrated);
      const auto before = ctx.cellCoefficients;

      degeneration.apply(ctx);
      SolveCellTransforms(ctx);
      if (degeneration.accepted) {
        EXPECT_TRUE(ctx.calibrated);
        continue;
      }
      EXPECT_FALSE(ctx.calibrated);
      EXPECT_EQ(ctx.cellCoefficients, before);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(SingularCalibration, DegenerateGrid, testing::Values(4u, 9u, 16u, 25u));

// One cell whose coefficients are set directly: X = (a x + b y + c) / (g x + h y + 1), Y likewise.
CalibrationBlock SingleCellWith(double a, double c, double e, double f, double g) {
  CalibrationBlock ctx;
  ctx.adjustType = 4;
  LayoutGrid(ctx);
  ctx.calibrated = true;
  ctx.cellCoefficients[0][0] = a;
  ctx.cellCoefficients[2][0] = c;
  ctx.cellCoefficients[4][0] = e;
  ctx.cellCoefficients[5][0] = f;
  ctx.cellCoefficients[6][0] = g;
  return ctx;
}

TEST(MapPointRange, SaturatesQuotientsBeyondThe32BitRange) {
  const CalibrationBlock steep = SingleCellWith(1e12, 0, -1e12, 0, 0);
  EXPECT_EQ(MapPoint(steep, 30000, 30000), (ScreenPoint{kInt32Max, kInt32Min}));

  // Denominator 32 * (-1/32) + 1 is exactly 0: a non-zero numerator gives an infinity.
  const CalibrationBlock pole = SingleCellWith(1, 0, -1, 0, -1.0 / 32);
  EXPECT_EQ(MapPoint(pole, 32, 5), (ScreenPoint{kInt32Max, kInt32Min}));

  // 0 / 0 is NaN.
  const CalibrationBlock nothing = SingleCellWith(0, 0, 0, 0, -1.0 / 32);
  EXPECT_EQ(MapPoint(nothing, 32, 5), (ScreenPoint{0, 0}));

  // Just inside the range on both sides.
  const CalibrationBlock edge = SingleCellWith(0, 2147483646.0, 0, -2147483648.0, 0);
  EXPECT_EQ(MapPoint(edge, 0, 0), (ScreenPoint{2147483646, -2147483647}));
}

TEST(MapPointRange, RoundsHalfUpAndTruncatesTowardZeroWithoutClamping) {
  EXPECT_EQ(MapPoint(SingleCellWith(1, 0.5, 1, -0.7, 0), 70000, 0), (ScreenPoint{70001, 0}));
  EXPECT_EQ(MapPoint(SingleCellWith(1, 0.49, 1, -2.6, 0), -100, 0), (ScreenPoint{-99, -2}));
}

}  // namespace
}  // namespace velno
