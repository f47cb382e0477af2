// The calibration tool and the pen driver agree on the board's facts: every target the tool draws lies
// where the driver expects the pen, and the adjust-type word the tool announces reads back as it was meant.
#include <gtest/gtest.h>

#include "board_facts.h"
#include "calibration/calibration_grid.h"
#include "target_layout.h"

namespace velno {
namespace {

// The driver's absolute units run 0 .. 65535 across the screen; the system lands a unit on the pixel
// units * extent / 65536, rounded down, as the tool rounds its target pixels down too.
std::int32_t PixelOf(std::int32_t units, std::int32_t extent) {
  return static_cast<std::int32_t>(static_cast<std::int64_t>(units) * extent / 65536);
}

TEST(BoardFacts, EveryTargetTheToolDrawsIsWhereTheDriverExpectsIt) {
  for (const std::uint32_t count : {4u, 6u, 9u, 12u, 16u, 20u, 25u}) {
    CalibrationBlock calibration{};
    calibration.adjustType = count;
    ASSERT_EQ(LayoutGrid(calibration), 0) << count;
    for (const auto& [width, height] : {std::pair{1024, 768}, std::pair{1280, 1024}, std::pair{1366, 768},
                                       std::pair{1920, 1080}, std::pair{3840, 2160}}) {
      for (std::uint32_t k = 1; k <= count; ++k) {
        const adjust::Pixel marker = adjust::ComposeTarget(k, count, width, height).current;
        const BoardPoint expected = calibration.targetPoints[k - 1];
        EXPECT_EQ(marker.x + adjust::kMarkerSize / 2, PixelOf(expected.x, width))
            << count << " points, target " << k << " on " << width << "x" << height;
        EXPECT_EQ(marker.y + adjust::kMarkerSize / 2, PixelOf(expected.y, height))
            << count << " points, target " << k << " on " << width << "x" << height;
      }
    }
    for (const std::int32_t flag : {0, 1, 2}) {
      const AdjustType announced = DecodeAdjustType(EncodeAdjustType(count, flag));
      EXPECT_EQ(announced.pointCount, count);
      EXPECT_EQ(announced.screenFlag, flag);
    }
  }
}

}  // namespace
}  // namespace velno
