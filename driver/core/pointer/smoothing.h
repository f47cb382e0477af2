// Smoothing of pen positions over the last six samples, kept in a 50-slot ring with running sums.
#pragma once

#include <array>
#include <cstdint>

#include "common/board_point.h"

namespace velno {

inline constexpr int kSmoothingRingSize = 50;
inline constexpr int kSmoothingWindow = 6;

struct SmoothingWindow {
  std::int32_t sumX = 0;
  std::int32_t sumY = 0;
  std::int32_t avgX = 0;  // smoothed position, board units
  std::int32_t avgY = 0;
  std::array<BoardPoint, kSmoothingRingSize> sampleRing{};
  std::int32_t sampleCount = 0;  // 0..6
  std::int32_t ringPos = 0;      // 0..49
};

// Empties the window: sums, sample count and ring position to 0.
void ResetSmoothing(SmoothingWindow& window);

// Adds one sample and sets avgX, avgY to the mean of the last min(n, 6) samples, truncated toward zero.
void AddSmoothingSample(SmoothingWindow& window, std::int32_t x, std::int32_t y);

}  // namespace velno
