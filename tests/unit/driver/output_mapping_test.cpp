#include "pointer/output_mapping.h"

#include <gtest/gtest.h>

#include <array>
#include <iterator>

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

constexpr std::int32_t kSweep[] = {-1000, 0, 1, 77, 2047, 2048, 4095, 6000};
constexpr std::size_t kSweepSize = std::size(kSweep);

// Uncalibrated, a board unit is 16 input units: position p of the sweep is p * 16 / 65536 of the monitor.
// Past the monitor's edges (-1000, 6000) the pointer goes on into the virtual screen and stops at its end.
TEST(OutputMapping, ExtendedCalibrationLandsOnTheSecondMonitorWhateverItsSizeAndSide) {
  struct Case {
    const char* name;
    std::int32_t flag;
    DisplayRect second;
    std::array<std::int64_t, kSweepSize> x;  // the pixel the pointer lands on, for each position of the sweep
    std::array<std::int64_t, kSweepSize> y;
  };
  const Case cases[] = {
      // Of the primary's size, right or below: the very pixel the plain offset of 65536 gave.
      {"same size, right", 1, {1280, 0, 2560, 1024},
       {967, 1280, 1280, 1304, 1919, 1920, 2559, 2559}, {0, 0, 0, 19, 511, 512, 1023, 1023}},
      {"same size, below", 2, {0, 1024, 1280, 2048},
       {0, 0, 0, 24, 639, 640, 1279, 1279}, {774, 1024, 1024, 1043, 1535, 1536, 2047, 2047}},
      {"smaller projector right", 1, {1280, 0, 2304, 768},
       {1030, 1280, 1280, 1299, 1791, 1792, 2303, 2303}, {0, 0, 0, 14, 383, 384, 767, 1023}},
      {"smaller projector left", 1, {-1024, 0, 0, 768},
       {-1024, -1024, -1024, -1005, -513, -512, -1, 476}, {0, 0, 0, 14, 383, 384, 767, 1023}},
      {"projector above, flagged as beside", 1, {0, -800, 1280, 0},
       {0, 0, 0, 24, 639, 640, 1279, 1279}, {-800, -800, -800, -785, -401, -400, -1, 371}},
      {"wider projector below, shifted", 2, {-200, 1024, 1720, 2104},
       {-200, -200, -200, -164, 759, 760, 1719, 1719}, {760, 1024, 1024, 1044, 1563, 1564, 2103, 2103}},
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
    for (std::size_t i = 0; i < kSweepSize; ++i) {
      const OutputPosition out = MapToOutput(calibration, display, {kSweep[i], kSweep[i]});
      ASSERT_TRUE(out.virtualDesk) << c.name;
      for (const Rounding rounding : {Rounding::Down, Rounding::DownOver65535, Rounding::Nearest}) {
        SCOPED_TRACE(testing::Message() << c.name << ", board " << kSweep[i] << ", rounding " << static_cast<int>(rounding));
        EXPECT_EQ(SystemPixel(out.x, desk.left, desk.right, rounding), c.x[i]);
        EXPECT_EQ(SystemPixel(out.y, desk.top, desk.bottom, rounding), c.y[i]);
      }
    }
  }
}

}  // namespace
}  // namespace velno
