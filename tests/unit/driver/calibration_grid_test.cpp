#include "calibration/calibration_grid.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace velno {
namespace {

constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kInt32Min = std::numeric_limits<std::int32_t>::min();

struct GridCase {
  std::uint32_t pointCount;
  std::int32_t pointRows;
  std::int32_t pointCols;
  std::vector<std::int32_t> targetXs;  // target x of each column, left to right
  std::vector<std::int32_t> targetYs;  // target y of each row, top to bottom
};

const std::vector<std::int32_t> kTwoTargets{2048, 63488};
const std::vector<std::int32_t> kThreeTargets{2048, 32768, 63488};
const std::vector<std::int32_t> kFourTargets{2048, 22528, 43008, 63488};
const std::vector<std::int32_t> kFiveTargets{2048, 17408, 32768, 48128, 63488};

class GridLayout : public testing::TestWithParam<GridCase> {};

TEST_P(GridLayout, SetsShapeAndDefaultTargetsInPointOrder) {
  const GridCase& expected = GetParam();
  CalibrationBlock ctx;
  ctx.adjustType = expected.pointCount;

  ASSERT_EQ(LayoutGrid(ctx), 0);

  EXPECT_EQ(ctx.adjustType, expected.pointCount);
  EXPECT_EQ(ctx.pointRows, expected.pointRows);
  EXPECT_EQ(ctx.pointCols, expected.pointCols);
  EXPECT_EQ(ctx.cellRows, expected.pointRows - 1);
  EXPECT_EQ(ctx.cellCols, expected.pointCols - 1);
  EXPECT_EQ(ctx.cellCount, (expected.pointRows - 1) * (expected.pointCols - 1));
  ASSERT_EQ(expected.targetXs.size(), static_cast<std::size_t>(expected.pointCols));
  ASSERT_EQ(expected.targetYs.size(), static_cast<std::size_t>(expected.pointRows));
  for (std::int32_t p = 0; p < static_cast<std::int32_t>(expected.pointCount); ++p) {
    // Points run down the leftmost column first.
    const BoardPoint target{expected.targetXs[p / expected.pointRows], expected.targetYs[p % expected.pointRows]};
    EXPECT_EQ(ctx.targetPoints[p], target) << "point " << p;
  }
  EXPECT_EQ(ctx.targetPoints[expected.pointCount], (BoardPoint{0, 0})) << "no target beyond the grid";
}

INSTANTIATE_TEST_SUITE_P(EveryPointCount, GridLayout,
                         testing::Values(GridCase{4, 2, 2, kTwoTargets, kTwoTargets},
                                         GridCase{6, 2, 3, kThreeTargets, kTwoTargets},
                                         GridCase{9, 3, 3, kThreeTargets, kThreeTargets},
                                         GridCase{12, 3, 4, kFourTargets, kThreeTargets},
                                         GridCase{16, 4, 4, kFourTargets, kFourTargets},
                                         GridCase{20, 4, 5, kFiveTargets, kFourTargets},
                                         GridCase{25, 5, 5, kFiveTargets, kFiveTargets}),
                         [](const testing::TestParamInfo<GridCase>& info) {
                           return std::to_string(info.param.pointCount) + "Points";
                         });

TEST(GridLayoutTargets, SixAndTwentyPointGridsAsTheToolDrawsThem) {
  CalibrationBlock six;
  six.adjustType = 6;
  ASSERT_EQ(LayoutGrid(six), 0);
  const std::vector<BoardPoint> sixTargets{{2048, 2048},  {2048, 63488},  {32768, 2048},
                                           {32768, 63488}, {63488, 2048}, {63488, 63488}};
  EXPECT_EQ(std::vector<BoardPoint>(six.targetPoints.begin(), six.targetPoints.begin() + 6), sixTargets);

  CalibrationBlock twenty;
  twenty.adjustType = 20;
  ASSERT_EQ(LayoutGrid(twenty), 0);
  EXPECT_EQ(twenty.targetPoints[5], (BoardPoint{17408, 22528}));
}

class UnsupportedPointCount : public testing::TestWithParam<std::uint32_t> {};

TEST_P(UnsupportedPointCount, EmptiesAGridThatWasLaidOut) {
  CalibrationBlock ctx;
  ctx.adjustType = 16;
  ASSERT_EQ(LayoutGrid(ctx), 0);

  ctx.adjustType = GetParam();
  EXPECT_EQ(LayoutGrid(ctx), -1);

  EXPECT_EQ(ctx.adjustType, 0u);
  EXPECT_EQ(ctx.pointRows, 0);
  EXPECT_EQ(ctx.pointCols, 0);
  EXPECT_EQ(ctx.cellRows, 0);
  EXPECT_EQ(ctx.cellCols, 0);
  EXPECT_EQ(ctx.cellCount, 0);
}

INSTANTIATE_TEST_SUITE_P(ZeroFiveAndThirtySix, UnsupportedPointCount, testing::Values(0u, 5u, 36u));

// A 9-point grid whose raw points are the targets halved.
CalibrationBlock HalvedNinePointGrid() {
  CalibrationBlock ctx;
  ctx.adjustType = 9;
  LayoutGrid(ctx);
  for (int p = 0; p < 9; ++p) ctx.rawPoints[p] = {ctx.targetPoints[p].x / 2, ctx.targetPoints[p].y / 2};
  LayoutGrid(ctx);
  return ctx;
}

TEST(CellCentres, AreTheMeansOfTheFourCornersInCellOrder) {
  const CalibrationBlock ctx = HalvedNinePointGrid();
  ASSERT_EQ(ctx.cellCount, 4);
  EXPECT_EQ(ctx.cellCentres[0], (BoardPoint{8704, 8704}));
  EXPECT_EQ(ctx.cellCentres[1], (BoardPoint{8704, 24064}));
  EXPECT_EQ(ctx.cellCentres[2], (BoardPoint{24064, 8704}));
  EXPECT_EQ(ctx.cellCentres[3], (BoardPoint{24064, 24064}));
}

TEST(CellCentres, TruncateTowardZeroAndSurviveExtremeStoredPoints) {
  CalibrationBlock ctx;
  ctx.adjustType = 4;
  ctx.rawPoints[0] = {-1, 7};
  ctx.rawPoints[1] = {-1, 0};
  ctx.rawPoints[2] = {-1, 0};
  ctx.rawPoints[3] = {0, 0};
  ASSERT_EQ(LayoutGrid(ctx), 0);
  EXPECT_EQ(ctx.cellCentres[0], (BoardPoint{0, 1}));  // -3 / 4 -> 0, 7 / 4 -> 1

  for (int p = 0; p < 4; ++p) ctx.rawPoints[p] = {kInt32Max, kInt32Min};
  ASSERT_EQ(LayoutGrid(ctx), 0);
  EXPECT_EQ(ctx.cellCentres[0], (BoardPoint{kInt32Max, kInt32Min}));
}

TEST(CellCorners, RunTopLeftBottomLeftBottomRightTopRight) {
  CalibrationBlock ctx;
  ctx.adjustType = 12;  // 3 rows, 4 columns of points; 2 rows, 3 columns of cells
  LayoutGrid(ctx);
  for (int p = 0; p < 12; ++p) ctx.rawPoints[p] = {100 + p, 200 + p};  // raw x - 100 = point index

  // Cell 3 is column 1, row 1: points (1,1)=4, (1,2)=5, (2,2)=8, (2,1)=7.
  const CellCorners corners = GetCellCorners(ctx, 3);
  EXPECT_EQ(corners.rawX, (std::array<std::int32_t, 4>{104, 105, 108, 107}));
  EXPECT_EQ(corners.rawY, (std::array<std::int32_t, 4>{204, 205, 208, 207}));
  EXPECT_EQ(corners.targetX, (std::array<std::int32_t, 4>{22528, 22528, 43008, 43008}));
  EXPECT_EQ(corners.targetY, (std::array<std::int32_t, 4>{32768, 63488, 63488, 32768}));
}

TEST(CellCorners, AreAllZeroForAnEmptyGrid) {
  CalibrationBlock ctx;
  ctx.rawPoints[0] = {5, 6};
  const CellCorners corners = GetCellCorners(ctx, 0);
  EXPECT_EQ(corners.rawX, (std::array<std::int32_t, 4>{}));
  EXPECT_EQ(corners.rawY, (std::array<std::int32_t, 4>{}));
  EXPECT_EQ(corners.targetX, (std::array<std::int32_t, 4>{}));
  EXPECT_EQ(corners.targetY, (std::array<std::int32_t, 4>{}));
}

TEST(NearestCell, PicksTheClosestCentre) {
  const CalibrationBlock ctx = HalvedNinePointGrid();
  EXPECT_EQ(FindNearestCell(ctx, 0, 0), 0);
  EXPECT_EQ(FindNearestCell(ctx, 8000, 30000), 1);
  EXPECT_EQ(FindNearestCell(ctx, 32767, 0), 2);
  EXPECT_EQ(FindNearestCell(ctx, 24064, 24064), 3);
  EXPECT_EQ(FindNearestCell(ctx, 16385, 16385), 3);
}

TEST(NearestCell, HalfwayBetweenTwoCentresGoesToTheLowerCell) {
  const CalibrationBlock ctx = HalvedNinePointGrid();
  // Centres of cells 0 and 1 are (8704, 8704) and (8704, 24064).
  EXPECT_EQ(FindNearestCell(ctx, 8704, 16384), 0);
  EXPECT_EQ(FindNearestCell(ctx, 8704, 16385), 1);
  // Equidistant from all four centres.
  EXPECT_EQ(FindNearestCell(ctx, 16384, 16384), 0);
  // Halfway between cells 1 and 3.
  EXPECT_EQ(FindNearestCell(ctx, 16384, 30000), 1);
}

TEST(NearestCell, IsCellZeroWithoutCells) {
  CalibrationBlock ctx;
  EXPECT_EQ(FindNearestCell(ctx, 1234, 5678), 0);
}

TEST(NearestCell, StaysCorrectForCentresFarOutsideTheBoard) {
  // Stored points come from a settings file and can be any int32 value; distances then exceed 32 bits.
  CalibrationBlock ctx;
  ctx.adjustType = 6;
  LayoutGrid(ctx);
  ctx.cellCentres[0] = {kInt32Min, kInt32Min};
  ctx.cellCentres[1] = {kInt32Max - 10, kInt32Max - 10};
  EXPECT_EQ(FindNearestCell(ctx, kInt32Max, kInt32Max), 1);
  EXPECT_EQ(FindNearestCell(ctx, kInt32Min, kInt32Min + 5), 0);
  EXPECT_EQ(FindNearestCell(ctx, 0, 0), 1);  // 2 * (2^31 - 11)^2 against 2 * (2^31)^2
}

TEST(ResetCalibrationTest, ClearsTheCalibrationBlockAndEmptiesTheGrid) {
  CalibrationBlock ctx = HalvedNinePointGrid();
  ctx.touchButtons.positions[0] = {10, 20};
  ctx.touchButtons.count = 1;

  EXPECT_EQ(&ResetCalibration(ctx), &ctx);

  EXPECT_EQ(ctx.adjustType, 0u);
  EXPECT_EQ(ctx.pointRows, 0);
  EXPECT_EQ(ctx.pointCols, 0);
  EXPECT_EQ(ctx.touchButtons.count, 0u);
  EXPECT_EQ(ctx.cellRows, 0);
  EXPECT_EQ(ctx.cellCols, 0);
  EXPECT_EQ(ctx.cellCount, 0);
  const std::array<BoardPoint, kMaxPoints> zero{};
  EXPECT_EQ(ctx.rawPoints, zero);
  EXPECT_EQ(ctx.targetPoints, zero);
  EXPECT_EQ(ctx.cellCentres, zero);
}

}  // namespace
}  // namespace velno
