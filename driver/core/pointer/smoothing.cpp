#include "pointer/smoothing.h"

namespace velno {

void ResetSmoothing(SmoothingWindow& window) {
  window.sumX = 0;
  window.sumY = 0;
  window.sampleCount = 0;
  window.ringPos = 0;
}

void AddSmoothingSample(SmoothingWindow& window, std::int32_t x, std::int32_t y) {
  if (window.sampleCount < kSmoothingWindow) {
    ++window.sampleCount;
    window.sumX += x;
    window.sumY += y;
    window.sampleRing[window.ringPos] = {x, y};
    ++window.ringPos;
  } else {
    // The slot six places back holds the sample that leaves the window.
    const BoardPoint& leaving = window.sampleRing[(window.ringPos + kSmoothingRingSize - kSmoothingWindow) % kSmoothingRingSize];
    window.sumX -= leaving.x;
    window.sumY -= leaving.y;
    window.sampleRing[window.ringPos] = {x, y};
    ++window.ringPos;
    if (window.ringPos == kSmoothingRingSize) window.ringPos = 0;
    window.sumX += x;
    window.sumY += y;
  }
  window.avgX = window.sumX / window.sampleCount;
  window.avgY = window.sumY / window.sampleCount;
}

}  // namespace velno
