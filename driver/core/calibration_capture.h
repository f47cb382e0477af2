// Measuring where the pen touched each calibration target or touch-button place while a run is active.
// The tool shows target k and waits; the pen rests on it for ten reports within 73 board units of where
// it came down; the driver stores their mean as entry k - 1 and answers with index 0.
#pragma once

#include <cstdint>

#include "driver.h"

namespace velno {

inline constexpr std::int32_t kSteadyLimit = 74;  // a sample this far from the anchor on either axis restarts
inline constexpr std::int32_t kSamplesPerMeasurement = 10;

// A point run: after the last target the board gets the new calibration, solved and saved.
void CapturePoint(Driver& driver, BoardContext& board, std::int32_t x, std::int32_t y, std::uint8_t lead);
// A touch-button run: after the last place the board gets the new touch-button list, saved.
void CaptureTouchButton(Driver& driver, BoardContext& board, std::int32_t x, std::int32_t y, std::uint8_t lead);

}  // namespace velno
