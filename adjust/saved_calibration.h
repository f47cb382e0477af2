// The calibration the driver saved, as "Check the calibration" needs it: how many points it has (the
// check's crosses sit between its targets) and the screen it was made for.
#pragma once

#include <cstdint>
#include <optional>

namespace adjust {

struct SavedCalibration {
  std::uint32_t pointCount;
  std::int32_t screenFlag;  // 0 the primary screen; 1 or 2 the extended one

  friend bool operator==(const SavedCalibration&, const SavedCalibration&) = default;
};

// From the settings file's point count and screen flag as read: no calibration unless the count is one
// the driver lays out; a screen flag other than 1 or 2 (260 when missing) is the primary screen, as the
// driver maps it.
std::optional<SavedCalibration> SavedCalibrationOf(std::int32_t pointCount, std::int32_t screenFlag);

}  // namespace adjust
