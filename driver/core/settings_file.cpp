#include "settings_file.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "calibration_grid.h"

namespace velno {
namespace {

constexpr std::uint32_t kFallbackGridPoints = 16;
// What a missing coordinate or screen flag reads as.
constexpr std::int32_t kMissingCoordinate = 260;
constexpr std::int32_t kMissingScreenFlag = 260;
// Thresholds that read as 0 take these.
constexpr std::int32_t kDefaultGestureBrush = 2500;
constexpr std::int32_t kDefaultGestureErase = 25000;
// A "num_buttons" of this or more loads no touch buttons.
constexpr std::uint32_t kTouchButtonLoadLimit = 64;

// "Point%02d-x" and friends: the 1-based number with at least two digits, then the axis.
std::wstring NumberedKey(std::wstring_view stem, std::uint32_t number, wchar_t axis) {
  std::wstring digits = std::to_wstring(number);
  if (digits.size() < 2) digits.insert(digits.begin(), L'0');
  return std::wstring(stem) + digits + L'-' + axis;
}

std::int32_t Read(Driver& driver, const std::wstring& key, std::int32_t defaultValue) {
  return driver.platform.ReadSetting(kSettingsSection, key, defaultValue);
}

// Values are written as "%d": signed decimal.
void Write(Driver& driver, const std::wstring& key, std::int32_t value) {
  driver.platform.WriteSetting(kSettingsSection, key, std::to_wstring(value));
}

BoardPoint ReadPoint(Driver& driver, std::wstring_view stem, std::uint32_t number) {
  return {Read(driver, NumberedKey(stem, number, L'x'), kMissingCoordinate),
          Read(driver, NumberedKey(stem, number, L'y'), kMissingCoordinate)};
}

void WritePoint(Driver& driver, std::wstring_view stem, std::uint32_t number, const BoardPoint& point) {
  Write(driver, NumberedKey(stem, number, L'x'), point.x);
  Write(driver, NumberedKey(stem, number, L'y'), point.y);
}

// The counts of a context never exceed its tables; the bound keeps a corrupted one from reading past them.
std::uint32_t TableCount(std::uint32_t count) { return std::min<std::uint32_t>(count, kMaxPoints); }

}  // namespace

void LoadSettings(Driver& driver, BoardContext& board) {
  const VelnoLibrary& velno = driver.velno;
  const std::int32_t brush = Read(driver, L"GestureBrush", 0);
  velno.SetGestureBrush(brush == 0 ? kDefaultGestureBrush : brush);
  const std::int32_t erase = Read(driver, L"GestureErase", 0);
  velno.SetGestureErase(erase == 0 ? kDefaultGestureErase : erase);

  const auto pointCount = static_cast<std::uint32_t>(Read(driver, L"AdjustType", 0));
  board.adjustType = pointCount;
  if (LayoutGrid(board) != 0) {
    // Not a grid this driver knows: uncalibrated on the 16-point grid, whatever else the file says.
    board.calibrated = 0;
    board.adjustType = kFallbackGridPoints;
    LayoutGrid(board);
    return;
  }
  board.extendScreenFlag = Read(driver, L"extendScreenFlag", kMissingScreenFlag);
  board.calibrated = 1;
  // The cell centres follow when the transforms are solved from these points.
  for (std::uint32_t k = 1; k <= pointCount; ++k) board.rawPoints[k - 1] = ReadPoint(driver, L"Point", k);

  const auto buttonCount = static_cast<std::uint32_t>(Read(driver, L"num_buttons", 0));
  if (buttonCount >= kTouchButtonLoadLimit) {
    board.touchButtonCount = 0;
    return;
  }
  board.touchButtonCount = buttonCount;
  for (std::uint32_t k = 1; k <= buttonCount; ++k) board.touchButtons[k - 1] = ReadPoint(driver, L"Button", k);
}

void SaveSettings(Driver& driver, const BoardContext& board) {
  const VelnoLibrary& velno = driver.velno;
  Write(driver, L"GestureBrush", velno.GetGestureBrush());
  Write(driver, L"GestureErase", velno.GetGestureErase());
  // An uncalibrated board (a file without a usable calibration, a refused or unsupported run) holds a
  // fallback grid and points that are no calibration: the file's calibration keys stay as they are, so
  // the next start finds no more calibration than there is.
  if (board.calibrated != 0) {
    Write(driver, L"AdjustType", static_cast<std::int32_t>(board.adjustType));
    Write(driver, L"extendScreenFlag", board.extendScreenFlag);
    for (std::uint32_t k = 1; k <= TableCount(board.adjustType); ++k) {
      WritePoint(driver, L"Point", k, board.rawPoints[k - 1]);
    }
  }
  Write(driver, L"num_buttons", static_cast<std::int32_t>(board.touchButtonCount));
  for (std::uint32_t k = 1; k <= TableCount(board.touchButtonCount); ++k) {
    WritePoint(driver, L"Button", k, board.touchButtons[k - 1]);
  }
}

}  // namespace velno
