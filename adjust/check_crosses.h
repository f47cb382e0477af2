// Where the check after a saved calibration puts its five crosses: where a piecewise calibration is
// weakest, away from the targets. They follow from the point count alone, the same in every run.
#pragma once

#include <array>
#include <cstdint>

#include "target_layout.h"

namespace adjust {

inline constexpr std::uint32_t kCheckCrosses = 5;

// The crosses as fractions of the window, in the order they are shown: the one for the middle of the
// screen, then those for the middles of the upper left, upper right, lower left and lower right
// quarters. Each is the centre of a grid cell (the nearest unused one); a grid of fewer than five cells
// gives each cell to the place nearest it and makes up the rest with midpoints between neighbouring
// targets. A count that is not a grid puts every cross at the centre.
std::array<Fraction2, kCheckCrosses> CheckCrossFractions(std::uint32_t count);

// Cross i's point in a window of width x height pixels, truncated as the targets are.
Pixel CheckCrossPoint(std::uint32_t i, std::uint32_t count, std::int32_t width, std::int32_t height);

}  // namespace adjust
