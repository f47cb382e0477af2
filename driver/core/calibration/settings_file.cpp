#include "calibration/settings_file.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

#include "calibration/calibration_grid.h"

namespace velno {
namespace {

constexpr std::uint32_t kFallbackGridPoints = 16;
// What a missing coordinate or screen flag reads as.
constexpr std::int32_t kMissingCoordinate = 260;
constexpr std::int32_t kMissingScreenFlag = 260;
// A "num_buttons" of this or more loads no touch buttons.
constexpr std::uint32_t kTouchButtonLoadLimit = 64;

// "Point%02d-x" and friends: the 1-based number with at least two digits, then the axis.
std::wstring NumberedKey(std::wstring_view stem, std::uint32_t number, wchar_t axis) {
  std::wstring digits = std::to_wstring(number);
  if (digits.size() < 2) digits.insert(digits.begin(), L'0');
  return std::wstring(stem) + digits + L'-' + axis;
}

std::int32_t Read(SettingsStore& store, const std::wstring& key, std::int32_t defaultValue) {
  return store.ReadNumber(kSettingsSection, key, defaultValue);
}

// Values are written as "%d": signed decimal.
void Write(std::vector<SettingWrite>& save, const std::wstring& key, std::int32_t value) {
  save.push_back({kSettingsSection, key, std::to_wstring(value)});
}

BoardPoint ReadPoint(SettingsStore& store, std::wstring_view stem, std::uint32_t number) {
  return {Read(store, NumberedKey(stem, number, L'x'), kMissingCoordinate),
          Read(store, NumberedKey(stem, number, L'y'), kMissingCoordinate)};
}

void WritePoint(std::vector<SettingWrite>& save, std::wstring_view stem, std::uint32_t number, const BoardPoint& point) {
  Write(save, NumberedKey(stem, number, L'x'), point.x);
  Write(save, NumberedKey(stem, number, L'y'), point.y);
}


// The counts of a context never exceed its tables; the bound keeps a corrupted one from reading past them.
std::uint32_t TableCount(std::uint32_t count) { return std::min<std::uint32_t>(count, kMaxPoints); }

}  // namespace

std::int32_t ReadGestureBrush(SettingsStore& store) {
  const std::int32_t brush = Read(store, L"GestureBrush", 0);
  return brush == 0 ? kDefaultGestureBrush : brush;
}

std::int32_t ReadGestureErase(SettingsStore& store) {
  const std::int32_t erase = Read(store, L"GestureErase", 0);
  return erase == 0 ? kDefaultGestureErase : erase;
}

void LoadSettings(SettingsStore& store, const SharedState& sharedState, CalibrationBlock& calibration) {
  const LoadScope load(store);
  sharedState.SetGestureBrush(ReadGestureBrush(store));
  sharedState.SetGestureErase(ReadGestureErase(store));

  const auto pointCount = static_cast<std::uint32_t>(Read(store, kPointCountKey, 0));
  calibration.adjustType = pointCount;
  if (LayoutGrid(calibration) != 0) {
    // Not a grid this driver knows: uncalibrated on the 16-point grid, whatever else the file says.
    calibration.calibrated = false;
    calibration.adjustType = kFallbackGridPoints;
    LayoutGrid(calibration);
    return;
  }
  calibration.extendScreenFlag = Read(store, kScreenFlagKey, kMissingScreenFlag);
  calibration.calibrated = true;
  // The cell centres follow when the transforms are solved from these points.
  for (std::uint32_t k = 1; k <= pointCount; ++k) calibration.rawPoints[k - 1] = ReadPoint(store, L"Point", k);

  const auto buttonCount = static_cast<std::uint32_t>(Read(store, L"num_buttons", 0));
  if (buttonCount >= kTouchButtonLoadLimit) {
    calibration.touchButtons.count = 0;
    return;
  }
  calibration.touchButtons.count = buttonCount;
  for (std::uint32_t k = 1; k <= buttonCount; ++k) calibration.touchButtons.positions[k - 1] = ReadPoint(store, L"Button", k);
}

bool SaveSettings(SettingsStore& store, const SharedState& sharedState, const CalibrationBlock& calibration) {
  std::vector<SettingWrite> save;
  Write(save, L"GestureBrush", sharedState.GetGestureBrush());
  Write(save, L"GestureErase", sharedState.GetGestureErase());
  // An uncalibrated block (a file without a usable calibration, a refused or unsupported run) holds a
  // fallback grid and points that are no calibration: the file's calibration keys stay as they are, so
  // the next start finds no more calibration than there is.
  if (calibration.calibrated) {
    Write(save, kPointCountKey, static_cast<std::int32_t>(calibration.adjustType));
    Write(save, kScreenFlagKey, calibration.extendScreenFlag);
    for (std::uint32_t k = 1; k <= TableCount(calibration.adjustType); ++k) {
      WritePoint(save, L"Point", k, calibration.rawPoints[k - 1]);
    }
  }
  Write(save, L"num_buttons", static_cast<std::int32_t>(calibration.touchButtons.count));
  for (std::uint32_t k = 1; k <= TableCount(calibration.touchButtons.count); ++k) {
    WritePoint(save, L"Button", k, calibration.touchButtons.positions[k - 1]);
  }
  return store.Save(save);
}

}  // namespace velno
