#include "pointer/output_mapping.h"

#include <gtest/gtest.h>

namespace velno {
namespace {

constexpr DisplayRect kPrimary{0, 0, 1280, 1024};

DisplayLayout TwoMonitors(DisplayRect second) {
  const DisplayRect desk{std::min(kPrimary.left, second.left), std::min(kPrimary.top, second.top),
                         std::max(kPrimary.right, second.right), std::max(kPrimary.bottom, second.bottom)};
  return {kPrimary, desk, true, second};
}

// The pixel the system puts the pointer on for virtual-desk units: rounded down over 65536 units, or over
// 65535, or to the nearest pixel, as versions of the system do.
enum class Rounding { Down, DownOver65535, Nearest };
std::int64_t SystemPixel(std::int32_t units, std::int32_t deskOrigin, std::int32_t deskEnd, Rounding rounding) {
  const std::int64_t scaled = static_cast<std::int64_t>(units) * (deskEnd - deskOrigin);
  switch (rounding) {
    case Rounding::Down: return deskOrigin + scaled / 65536;
    case Rounding::DownOver65535: return deskOrigin + scaled / 65535;
    default: return deskOrigin + (scaled + 32768) / 65536;
  }
}

// Uncalibrated, a board unit is 16 input units: position p of the sweep is p * 16 / 65536 of the monitor.
// Past the monitor's edges (-1000, 6000) the pointer goes on into the virtual screen and stops at its end.
TEST(OutputMapping, ExtendedCalibrationLandsOnTheSecondMonitorWhateverItsSizeAndSide) {
  struct Case {
    const char* name;
    std::int32_t flag;
    DisplayRect second;
  };
  const Case cases[] = {
      // Of the primary's size, right or below: the very pixel the plain offset of 65536 gave.
      {"same size, right", 1, {1280, 0, 2560, 1024}},
      {"same size, below", 2, {0, 1024, 1280, 2048}},
      {"smaller projector right", 1, {1280, 0, 2304, 768}},
      {"smaller projector left", 1, {-1024, 0, 0, 768}},
      {"projector above, flagged as beside", 1, {0, -800, 1280, 0}},
      {"wider projector below, shifted", 2, {-200, 1024, 1720, 2104}},
  };
  // A calibration of the primary screen stays in its units beside a second monitor. Without a second
  // monitor the plain offset stays (the report path's offset table shows it).
  EXPECT_EQ(MapToOutput(CalibrationBlock{}, TwoMonitors({1280, 0, 2304, 768}), {100, 200}),
            (OutputPosition{1600, 3200}));
  for (const Case& c : cases) {
    const DisplayLayout display = TwoMonitors(c.second);
    const DisplayRect& desk = display.virtualScreen;
    CalibrationBlock calibration;
    calibration.extendScreenFlag = c.flag;
    for (const std::int32_t board : {-1000, 0, 1, 77, 2047, 2048, 4095, 6000}) {
      const std::int64_t units = board * 16;
      const std::int64_t x = c.second.left + (units * (c.second.right - c.second.left) >> 16);
      const std::int64_t y = c.second.top + (units * (c.second.bottom - c.second.top) >> 16);
      const OutputPosition out = MapToOutput(calibration, display, {board, board});
      ASSERT_TRUE(out.virtualDesk) << c.name;
      for (const Rounding rounding : {Rounding::Down, Rounding::DownOver65535, Rounding::Nearest}) {
        SCOPED_TRACE(testing::Message() << c.name << ", board " << board << ", rounding " << static_cast<int>(rounding));
        EXPECT_EQ(SystemPixel(out.x, desk.left, desk.right, rounding), std::clamp<std::int64_t>(x, desk.left, desk.right - 1));
        EXPECT_EQ(SystemPixel(out.y, desk.top, desk.bottom, rounding), std::clamp<std::int64_t>(y, desk.top, desk.bottom - 1));
      }
    }
  }
}

}  // namespace
}  // namespace velno
