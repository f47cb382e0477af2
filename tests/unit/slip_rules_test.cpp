#include "slip_rules.h"

#include <gtest/gtest.h>

#include <cmath>

#include "calibration_grid.h"

namespace velno {
namespace {

// How a board can sit against its screen: the board units of the screen's corners (top-left, top-right,
// bottom-right, bottom-left), then a rotation about the board's centre and a mirrored mounting.
struct Mount {
  const char* name;
  double corners[4][2];
  double degrees;
  bool mirrorX;
  bool mirrorY;
};


const Mount kMounts[] = {
    {"square", {{1000, 1000}, {31000, 1000}, {31000, 31000}, {1000, 31000}}, 0, false, false},
    {"keystone", {{5200, 2600}, {27600, 3400}, {31200, 30400}, {1600, 29600}}, 0, false, false},
    {"narrow bottom turned 10 degrees", {{1000, 2000}, {31500, 1000}, {24000, 31000}, {8000, 30000}}, 10, false, false},
    {"keystone turned -10 degrees", {{5200, 2600}, {27600, 3400}, {31200, 30400}, {1600, 29600}}, -10, false, false},
    {"mirrored left to right", {{1000, 1000}, {31000, 1000}, {31000, 31000}, {1000, 31000}}, 0, true, false},
    {"keystone mirrored upside down", {{5200, 2600}, {27600, 3400}, {31200, 30400}, {1600, 29600}}, 0, false, true},
    {"narrow bottom mirrored both ways, turned 10 degrees", {{1000, 2000}, {31500, 1000}, {24000, 31000}, {8000, 30000}},
     10, true, true},
};

// Where the pen touches the board for a place of the grid (column and row numbers, fractions between
// targets) on a grid of `count` points: the screen position the tool draws it at, through the mount.
BoardPoint Touch(const Mount& mount, std::uint32_t count, double col, double row) {
  const GridShape& shape = *FindGridShape(count);
  const double u = (1 + col * 30 / (shape.pointCols - 1)) / 32;
  const double v = (1 + row * 30 / (shape.pointRows - 1)) / 32;
  // The projective map of the unit square onto the corners.
  const auto& c = mount.corners;
  const double dx1 = c[1][0] - c[2][0], dx2 = c[3][0] - c[2][0], dx3 = c[0][0] - c[1][0] + c[2][0] - c[3][0];
  const double dy1 = c[1][1] - c[2][1], dy2 = c[3][1] - c[2][1], dy3 = c[0][1] - c[1][1] + c[2][1] - c[3][1];
  const double den = dx1 * dy2 - dx2 * dy1;
  const double g = (dx3 * dy2 - dx2 * dy3) / den, h = (dx1 * dy3 - dx3 * dy1) / den;
  const double w = g * u + h * v + 1;
  double x = ((c[1][0] - c[0][0] + g * c[1][0]) * u + (c[3][0] - c[0][0] + h * c[3][0]) * v + c[0][0]) / w - 16384;
  double y = ((c[1][1] - c[0][1] + g * c[1][1]) * u + (c[3][1] - c[0][1] + h * c[3][1]) * v + c[0][1]) / w - 16384;
  const double turn = mount.degrees * 3.14159265358979 / 180;
  const double turnedX = x * std::cos(turn) - y * std::sin(turn);
  y = x * std::sin(turn) + y * std::cos(turn);
  x = turnedX;
  if (mount.mirrorX) x = -x;
  if (mount.mirrorY) y = -y;
  return {static_cast<std::int32_t>(std::lround(x + 16384)), static_cast<std::int32_t>(std::lround(y + 16384))};
}

// Targets 1 .. done measured where they are.
struct Pass {
  std::array<BoardPoint, kMaxPoints> points{};
  std::bitset<kMaxPoints> measured;
};

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

// Touches of a nine-point pass (3 columns of 3), at a grid place while a target shows.
struct Slip {
  const char* what;
  std::int32_t target;  // shows; targets before it are measured
  double col;
  double row;
  bool refused;
};

const Slip kSlips[] = {
    {"second touch on the previous target", 4, 0, 2, true},
    {"touch on a target done long ago", 6, 0, 0, true},
    {"touch a tenth of a row from the previous target", 5, 1, 0.1, true},
    {"the target itself", 5, 1, 1, false},
    {"touch left of the middle column for a target of the right column", 7, 0.5, 0, true},
    {"touch above the middle row for a target of the bottom row", 3, 0, 0.5, true},
    {"touch mirrored across the middle for a target of the right column", 8, 0, 1, true},
    {"touch a little off the target, toward the grid", 8, 1.8, 1.1, false},
};

TEST(SlipRules, SlipsAreRefusedOnEveryMount) {
  for (const Mount& mount : kMounts) {
    for (const Slip& slip : kSlips) {
      const Pass pass = MeasuredUpTo(mount, 9, slip.target - 1);
      EXPECT_EQ(IsSlip(9, pass.points, pass.measured, slip.target, Touch(mount, 9, slip.col, slip.row)), slip.refused)
          << mount.name << ": " << slip.what;
    }
  }
}

TEST(SlipRules, OnlyPointsMeasuredInThisPassCount) {
  const Mount& mount = kMounts[1];
  Pass pass = MeasuredUpTo(mount, 9, 3);
  const BoardPoint onTargetTwo = Touch(mount, 9, 0, 1);
  EXPECT_TRUE(IsSlip(9, pass.points, pass.measured, 4, onTargetTwo));
  pass.measured.reset(1);
  EXPECT_FALSE(IsSlip(9, pass.points, pass.measured, 4, onTargetTwo));
  // Measuring target 2 again replaces its own entry.
  pass.measured.set(1);
  EXPECT_FALSE(IsSlip(9, pass.points, pass.measured, 2, onTargetTwo));
  // A count that makes no grid has no rules.
  EXPECT_FALSE(IsSlip(5, pass.points, pass.measured, 4, onTargetTwo));
}

TEST(SlipRules, TheSpacingComesFromTheMeasuredNeighboursAndOrderHoldsBothWays) {
  const Mount& square = kMounts[0];
  // Four points 28 000 units apart: a fifth of that from target 3 is too close, although the layout
  // alone would guess a smaller spacing.
  const Pass corners = MeasuredUpTo(square, 4, 3);
  EXPECT_TRUE(IsSlip(4, corners.points, corners.measured, 4, Touch(square, 4, 1, 0.2)));
  // A program may measure the targets in any order: target 5 must lie above target 6, measured before it.
  Pass pass = MeasuredUpTo(square, 9, 9);
  pass.measured.reset(4);
  EXPECT_FALSE(IsSlip(9, pass.points, pass.measured, 5, Touch(square, 9, 1, 1)));
  EXPECT_TRUE(IsSlip(9, pass.points, pass.measured, 5, Touch(square, 9, 1, 2.4)));
}

}  // namespace
}  // namespace velno
