// Measuring where the pen touched each calibration target or touch-button place while a run is active.
#pragma once

#include <cstdint>

#include "driver.h"

namespace velno {

void CapturePoint(Driver& driver, BoardContext& board, std::int32_t x, std::int32_t y, std::uint8_t lead);
void CaptureTouchButton(Driver& driver, BoardContext& board, std::int32_t x, std::int32_t y, std::uint8_t lead);

}  // namespace velno
