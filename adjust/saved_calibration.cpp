#include "saved_calibration.h"

#include "board_facts.h"

namespace adjust {

std::optional<SavedCalibration> SavedCalibrationOf(std::int32_t pointCount, std::int32_t screenFlag) {
  if (pointCount <= 0 || velno::FindGridShape(static_cast<std::uint32_t>(pointCount)) == nullptr) return std::nullopt;
  return SavedCalibration{static_cast<std::uint32_t>(pointCount), screenFlag == 1 || screenFlag == 2 ? screenFlag : 0};
}

}  // namespace adjust
