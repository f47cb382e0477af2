// The block of 32-bit values that every process loading Velno.dll shares.
#pragma once

#include <cstdint>

namespace velno {

// Fields in declaration order; the layout is what 32-bit and 64-bit copies of the library agree on.
struct SharedBlock {
  std::int32_t adjustIndexWord;        // 0, or kRunMarker | 1-based target index
  std::int32_t adjustType;             // low 16 bits: point count; high 16 bits: extended-screen flag
  std::int32_t buttonTargetHandle;
  std::int32_t buttonTargetValue;
  std::int32_t deviceState;            // kDeviceConnected while a board answers
  std::int32_t buttonAdjustIndexWord;  // same encoding as adjustIndexWord
  std::int32_t buttonAdjustType;
  std::int32_t gestureAdjusting;       // 1 while new thresholds wait to be saved by the driver
  std::int32_t gestureBrush;
  std::int32_t gestureErase;
  std::int32_t usingGesture;
};

static_assert(sizeof(SharedBlock) == 11 * sizeof(std::int32_t));

inline constexpr std::uint32_t kRunMarker = 0xAAAA0000u;
inline constexpr std::uint32_t kMaxRunIndex = 255;
inline constexpr std::int32_t kDeviceConnected = 159;

}  // namespace velno
