#include "calibration/slip_rules.h"

#include <gtest/gtest.h>

#include <cmath>

#include "calibration/calibration_grid.h"

namespace velno {
namespace {

// How a board sits against its screen: the board units of the screen's corners (top-left, top-right,
// bottom-right, bottom-left; a trapezium is a keystone), turned about the board's centre, maybe mirrored.
struct Mount {
  const char* name;
  double corners[4][2];
  double degrees;
  double mirrorX;  // -1 mirrored
  double mirrorY;
};

const Mount kMounts[] = {
    {"keystone", {{5200, 2600}, {27600, 3400}, {31200, 30400}, {1600, 29600}}, 0, 1, 1},
    {"narrow bottom turned 10 degrees", {{1000, 2000}, {31500, 1000}, {24000, 31000}, {8000, 30000}}, 10, 1, 1},
    {"keystone turned -10 degrees, mirrored left to right", {{5200, 2600}, {27600, 3400}, {31200, 30400}, {1600, 29600}},
     -10, -1, 1},
    {"narrow bottom mirrored both ways", {{1000, 2000}, {31500, 1000}, {24000, 31000}, {8000, 30000}}, 0, -1, -1},
};

// Where the pen touches for a place of the grid of `count` points (column, row; fractions lie between targets).
BoardPoint Touch(const Mount& m, std::uint32_t count, double col, double row) {
  const GridShape& shape = *FindGridShape(count);
  const double u = (1 + col * 30 / (shape.pointCols - 1)) / 32, v = (1 + row * 30 / (shape.pointRows - 1)) / 32;
  const auto& c = m.corners;
  const auto at = [&](int axis) {
    return (1 - u) * (1 - v) * c[0][axis] + u * (1 - v) * c[1][axis] + u * v * c[2][axis] + (1 - u) * v * c[3][axis] -
           16384;
  };
  const double turn = m.degrees * 3.14159265358979 / 180, x = at(0), y = at(1);
  return {static_cast<std::int32_t>(16384 + m.mirrorX * (x * std::cos(turn) - y * std::sin(turn))),
          static_cast<std::int32_t>(16384 + m.mirrorY * (x * std::sin(turn) + y * std::cos(turn)))};
}

struct Pass {
  std::array<BoardPoint, kMaxPoints> points{};
  std::bitset<kMaxPoints> measured;
};

// Targets 1 .. done measured where they are.
Pass MeasuredUpTo(const Mount& mount, std::uint32_t count, std::int32_t done) {
  const std::int32_t rows = FindGridShape(count)->pointRows;
  Pass pass;
  for (std::int32_t p = 0; p < done; ++p) {
    pass.points[p] = Touch(mount, count, p / rows, p % rows);
    pass.measured.set(p);
  }
  return pass;
}

TEST(SlipRules, EveryTargetTouchedWhereItIsIsAcceptedOnEveryMountAndGrid) {
  for (const Mount& mount : kMounts) {
    for (const std::uint32_t count : {4u, 6u, 9u, 12u, 16u, 20u, 25u}) {
      const std::int32_t rows = FindGridShape(count)->pointRows;
      for (std::int32_t p = 0; p < static_cast<std::int32_t>(count); ++p) {
        const Pass pass = MeasuredUpTo(mount, count, p);
        EXPECT_FALSE(IsSlip(count, pass.points, pass.measured, p + 1, Touch(mount, count, p / rows, p % rows)))
            << mount.name << ", " << count << " points, target " << p + 1;
      }
    }
  }
}

// Touches while a target of a nine-point pass shows (3 columns of 3), the targets before it measured.
struct Case {
  const char* what;
  std::uint32_t count;
  std::int32_t target;
  double col;
  double row;
  bool slip;
};

const Case kCases[] = {
    {"second touch on the previous target", 9, 4, 0, 2, true},
    {"touch on a target done long ago", 9, 6, 0, 0, true},
    {"touch a tenth of a row from the previous target", 9, 5, 1, 0.1, true},
    {"touch left of the middle column for the right column", 9, 7, 0.5, 0, true},
    {"touch above the middle row for the bottom row", 9, 3, 0, 0.5, true},
    {"touch mirrored across the middle for the right column", 9, 8, 0, 1, true},
    {"touch a little off the target", 9, 8, 1.8, 1.1, false},
    {"a count that makes no grid has no rules", 5, 4, 0, 0, false},
};

TEST(SlipRules, SlipsAreRefusedOnEveryMount) {
  for (const Mount& mount : kMounts) {
    for (const Case& c : kCases) {
      const Pass pass = MeasuredUpTo(mount, 9, c.target - 1);
      EXPECT_EQ(IsSlip(c.count, pass.points, pass.measured, c.target, Touch(mount, 9, c.col, c.row)), c.slip)
          << mount.name << ": " << c.what;
    }
  }
}

TEST(SlipRules, OnlyThisPassCountsTheSpacingIsMeasuredAndOrderHoldsBothWays) {
  const Mount& mount = kMounts[0];
  Pass pass = MeasuredUpTo(mount, 9, 9);
  EXPECT_FALSE(IsSlip(9, pass.points, pass.measured, 5, Touch(mount, 9, 1, 1)));  // measured again, replacing itself
  pass.measured.reset(4);
  EXPECT_TRUE(IsSlip(9, pass.points, pass.measured, 5, Touch(mount, 9, 1, 2.4)));  // must lie above target 6
  EXPECT_FALSE(IsSlip(9, pass.points, pass.measured, 5, Touch(mount, 9, 1, 1)));
  pass.measured.reset(5);
  EXPECT_FALSE(IsSlip(9, pass.points, pass.measured, 5, Touch(mount, 9, 1, 2)));  // target 6 not in this pass
  // Four targets over 20 000 units apart: 0.18 of a column below target 3 is too close, though the layout
  // alone would guess a smaller spacing.
  const Pass corners = MeasuredUpTo(mount, 4, 3);
  EXPECT_TRUE(IsSlip(4, corners.points, corners.measured, 4, Touch(mount, 4, 1, 0.18)));
}

}  // namespace
}  // namespace velno
