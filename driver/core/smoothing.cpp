#include "smoothing.h"

namespace velno {

void ResetSmoothing(BoardContext& ctx) {
  ctx.sumX = 0;
  ctx.sumY = 0;
  ctx.sampleCount = 0;
  ctx.ringPos = 0;
  ctx.warmupCount = 0;
}

void AddSmoothingSample(BoardContext& ctx, std::int32_t x, std::int32_t y) {
  if (ctx.sampleCount < kSmoothingWindow) {
    ++ctx.sampleCount;
    ctx.sumX += x;
    ctx.sumY += y;
    ctx.sampleRing[ctx.ringPos] = {x, y};
    ++ctx.ringPos;
  } else {
    // The slot six places back holds the sample that leaves the window.
    const BoardPoint& leaving = ctx.sampleRing[(ctx.ringPos + kSmoothingRingSize - kSmoothingWindow) % kSmoothingRingSize];
    ctx.sumX -= leaving.x;
    ctx.sumY -= leaving.y;
    ctx.sampleRing[ctx.ringPos] = {x, y};
    ++ctx.ringPos;
    if (ctx.ringPos == kSmoothingRingSize) ctx.ringPos = 0;
    ctx.sumX += x;
    ctx.sumY += y;
  }
  ctx.avgX = ctx.sumX / ctx.sampleCount;
  ctx.avgY = ctx.sumY / ctx.sampleCount;
}

}  // namespace velno
