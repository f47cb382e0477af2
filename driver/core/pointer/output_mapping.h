// The whole way from a smoothed board position to the coordinates the pointer is injected at: through
// the calibration (or scaled by 16 without one), then into the monitor the calibration was made for.
#pragma once

#include <cstdint>

#include "common/board_point.h"
#include "calibration/calibration_block.h"
#include "platform/display_layout.h"

namespace velno {

inline constexpr std::int32_t kUncalibratedScale = 16;
// Without a second monitor an extended-screen position is sent one primary screen further right or down.
inline constexpr std::int32_t kExtendedScreenOffset = 0x10000;

// Absolute input coordinates: 0 to 65535 across the primary screen, or across the whole virtual screen
// when `virtualDesk` is set.
struct OutputPosition {
  std::int32_t x = 0;
  std::int32_t y = 0;
  bool virtualDesk = false;

  friend bool operator==(const OutputPosition&, const OutputPosition&) = default;
};

// A calibration of the primary screen maps to fractions of it, whatever its resolution. An
// extended-screen calibration (screen flag 1 or 2) maps to fractions of the extended monitor, placed into
// the virtual screen wherever that monitor lies; without one it keeps the plain offset.
OutputPosition MapToOutput(const CalibrationBlock& calibration, const DisplayLayout& display, BoardPoint smoothed);

}  // namespace velno
