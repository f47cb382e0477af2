// Smoothing of pen positions over the last six samples, kept in a 50-slot ring with running sums.
#pragma once

#include <cstdint>

#include "board_context.h"

namespace velno {

// Empties the window: sums, sample count, ring position and warm-up count to 0.
void ResetSmoothing(BoardContext& ctx);

// Adds one sample and sets avgX, avgY to the mean of the last min(n, 6) samples, truncated toward zero.
void AddSmoothingSample(BoardContext& ctx, std::int32_t x, std::int32_t y);

}  // namespace velno
