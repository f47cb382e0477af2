#include "output_mapping.h"

#include <gtest/gtest.h>

#include <vector>

namespace velno {
namespace {

constexpr DisplayRect kPrimary{0, 0, 1280, 1024};

DisplayLayout TwoMonitors(DisplayRect second) {
  const DisplayRect desk{std::min(kPrimary.left, second.left), std::min(kPrimary.top, second.top),
                         std::max(kPrimary.right, second.right), std::max(kPrimary.bottom, second.bottom)};
  return {kPrimary, desk, true, second};
}

// The pixel the system puts the pointer on. It scales absolute units by the primary screen, or with the
// virtual-desk flag by the virtual screen; some versions divide by 65535 rather than 65536.
std::int64_t SystemPixel(std::int32_t units, bool virtualDesk, std::int32_t primaryExtent, std::int32_t deskOrigin,
                         std::int32_t deskExtent, std::int64_t divisor) {
  if (!virtualDesk) return (static_cast<std::int64_t>(units) * primaryExtent) >> 16;
  return deskOrigin + static_cast<std::int64_t>(units) * deskExtent / divisor;
}

// Uncalibrated, a board unit is 16 input units: these reach across the whole monitor, ends included.
const std::vector<std::int32_t> kBoardSweep = {0, 1, 77, 1024, 2047, 2048, 3000, 4000, 4095};

struct LayoutCase {
  const char* name;
  std::int32_t flag;
  DisplayRect second;
};

TEST(OutputMapping, ExtendedCalibrationLandsOnTheSecondMonitorWhateverItsSizeAndSide) {
  const LayoutCase cases[] = {
      {"same size, right: the pixel the plain offset gave", 1, {1280, 0, 2560, 1024}},
      {"same size, below: the pixel the plain offset gave", 2, {0, 1024, 1280, 2048}},
      {"smaller projector right", 1, {1280, 0, 2304, 768}},
      {"smaller projector left", 1, {-1024, 0, 0, 768}},
      {"projector above", 2, {0, -800, 1280, 0}},
      {"wider projector below, shifted", 2, {-200, 1024, 1720, 2104}},
  };
  for (const LayoutCase& c : cases) {
    const DisplayLayout display = TwoMonitors(c.second);
    CalibrationBlock calibration;
    calibration.extendScreenFlag = c.flag;
    for (const std::int32_t board : kBoardSweep) {
      for (const std::int64_t divisor : {65536, 65535}) {
        SCOPED_TRACE(testing::Message() << c.name << ", board " << board << ", divisor " << divisor);
        const OutputPosition out = MapToOutput(calibration, display, {board, board});
        ASSERT_TRUE(out.virtualDesk);
        const std::int32_t units = board * 16;
        const std::int64_t width = c.second.right - c.second.left, height = c.second.bottom - c.second.top;
        const DisplayRect& desk = display.virtualScreen;
        EXPECT_EQ(SystemPixel(out.x, true, 0, desk.left, desk.right - desk.left, divisor),
                  c.second.left + units * width / 65536);
        EXPECT_EQ(SystemPixel(out.y, true, 0, desk.top, desk.bottom - desk.top, divisor),
                  c.second.top + units * height / 65536);
      }
    }
  }
}

TEST(OutputMapping, SameSizeMonitorGetsTodaysPixelsAndOtherSetupsKeepTheirUnits) {
  CalibrationBlock calibration;
  const DisplayLayout single{kPrimary, kPrimary};
  const DisplayLayout right = TwoMonitors({1280, 0, 2560, 1024});
  for (const std::int32_t board : kBoardSweep) {
    SCOPED_TRACE(board);
    const std::int32_t units = board * 16;
    // The same-size monitor right of the primary: the very pixel of the old offset, both axes.
    calibration.extendScreenFlag = 1;
    const OutputPosition out = MapToOutput(calibration, right, {board, board});
    EXPECT_EQ(SystemPixel(out.x, true, 0, 0, 2560, 65536), SystemPixel(units + 65536, false, 1280, 0, 0, 0));
    EXPECT_EQ(SystemPixel(out.y, true, 0, 0, 1024, 65536), SystemPixel(units, false, 1024, 0, 0, 0));
    // No second monitor: the plain offset, nothing else to map to.
    EXPECT_EQ(MapToOutput(calibration, single, {board, board}), (OutputPosition{units + 65536, units, false}));
    calibration.extendScreenFlag = 2;
    EXPECT_EQ(MapToOutput(calibration, single, {board, board}), (OutputPosition{units, units + 65536, false}));
    // A calibration of the primary screen stays in its units, with or without a second monitor.
    calibration.extendScreenFlag = 0;
    EXPECT_EQ(MapToOutput(calibration, right, {board, board}), (OutputPosition{units, units, false}));
  }
}

TEST(OutputMapping, PositionsOffTheMonitorStayOnTheVirtualScreen) {
  CalibrationBlock calibration;
  calibration.extendScreenFlag = 1;
  const DisplayLayout left = TwoMonitors({-1024, 0, 0, 768});
  // Far right of the left monitor lands on the primary, as a position off the old offset's screen did.
  EXPECT_EQ(SystemPixel(MapToOutput(calibration, left, {6000, 0}).x, true, 0, -1024, 2304, 65536), 476);
  // Beyond the virtual screen the pointer stops at its edge, never wraps.
  const OutputPosition far = MapToOutput(calibration, left, {32767, -32768});
  EXPECT_EQ(SystemPixel(far.x, true, 0, -1024, 2304, 65536), 1279);
  EXPECT_EQ(SystemPixel(far.y, true, 0, 0, 1024, 65536), 0);
}

}  // namespace
}  // namespace velno
