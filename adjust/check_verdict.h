// The result of the check after a saved calibration: how far from each cross the pen's lift landed,
// the largest and the mean, and whether the calibration is good.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "check_crosses.h"

namespace adjust {

struct CheckVerdict {
  std::array<double, kCheckCrosses> errors;  // pixels between each cross and where its touch landed
  double largest;
  double mean;
  double tolerance;     // max(10 px, 1 % of the monitor's width)
  bool good;            // every touch within the tolerance
  std::uint32_t worst;  // 0-based number of the cross with the largest error (the first of equals)
};

CheckVerdict JudgeCheck(const std::array<Pixel, kCheckCrosses>& crosses,
                        const std::array<Pixel, kCheckCrosses>& landed, std::int32_t monitorWidth);

// The result screen's words: the verdict, naming the worst cross when it is not good, and the figures.
std::wstring VerdictText(const CheckVerdict& verdict);
std::wstring FiguresText(const CheckVerdict& verdict);

// What the check window says while cross i (0-based) shows.
std::wstring CrossPromptText(std::uint32_t i);

}  // namespace adjust
