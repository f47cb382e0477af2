#include "pointer/output_mapping.h"

#include <algorithm>

#include "calibration/projective_mapping.h"

namespace velno {
namespace {

constexpr std::int64_t kInputUnits = 0x10000;

// A mapped position far outside the calibrated area can sit near the end of the 32-bit range; the
// extended-screen offset must not wrap it around.
std::int32_t AddOffset(std::int32_t value, std::int32_t offset) {
  const std::int64_t sum = static_cast<std::int64_t>(value) + offset;
  return sum > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(sum);
}

std::int64_t FloorDiv(std::int64_t value, std::int64_t divisor) {
  const std::int64_t quotient = value / divisor;
  return (value % divisor != 0 && value < 0) ? quotient - 1 : quotient;
}

// The pixel a fraction of a monitor (in input units) falls on, rounded down as the system rounds input
// units into pixels: a monitor of the primary's size right of it or below it gets the very pixel that the
// plain offset gave.
std::int64_t PixelOnMonitor(std::int32_t units, std::int32_t origin, std::int32_t extent) {
  return origin + FloorDiv(static_cast<std::int64_t>(units) * extent, kInputUnits);
}

// The virtual-desktop input units a quarter of the way into a pixel, so that the system lands on that
// pixel whether it rounds down or to the nearest and whether it divides by 65536 or 65535. Clamped to the
// virtual screen, as the system clamps the cursor.
std::int32_t VirtualDeskUnits(std::int64_t pixel, std::int32_t origin, std::int32_t extent) {
  if (extent <= 0) return 0;
  const std::int64_t offset = std::clamp<std::int64_t>(pixel - origin, 0, extent - 1);
  return static_cast<std::int32_t>(std::min<std::int64_t>((4 * offset + 1) * kInputUnits / (4 * extent), 0xFFFF));
}

ScreenPoint ScreenUnits(const CalibrationBlock& calibration, BoardPoint smoothed) {
  if (calibration.calibrated) return MapPoint(calibration, smoothed.x, smoothed.y);
  return {smoothed.x * kUncalibratedScale, smoothed.y * kUncalibratedScale};
}

}  // namespace

OutputPosition MapToOutput(const CalibrationBlock& calibration, const DisplayLayout& display, BoardPoint smoothed) {
  const ScreenPoint units = ScreenUnits(calibration, smoothed);
  const std::int32_t flag = calibration.extendScreenFlag;
  if (flag != 1 && flag != 2) return {units.x, units.y, false};
  if (!display.hasExtendMonitor) {
    return flag == 1 ? OutputPosition{AddOffset(units.x, kExtendedScreenOffset), units.y, false}
                     : OutputPosition{units.x, AddOffset(units.y, kExtendedScreenOffset), false};
  }
  const DisplayRect& monitor = display.extendMonitor;
  const DisplayRect& desk = display.virtualScreen;
  const std::int64_t pixelX = PixelOnMonitor(units.x, monitor.left, monitor.right - monitor.left);
  const std::int64_t pixelY = PixelOnMonitor(units.y, monitor.top, monitor.bottom - monitor.top);
  return {VirtualDeskUnits(pixelX, desk.left, desk.right - desk.left),
          VirtualDeskUnits(pixelY, desk.top, desk.bottom - desk.top), true};
}

}  // namespace velno
