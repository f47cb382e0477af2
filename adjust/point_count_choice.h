// The point-count chooser's buttons: each count button stores its count and closes the chooser with OK.
#pragma once

#include <cstdint>

namespace adjust {

// The count a button of the chooser stands for (4, 6, 9, 12, 16, 20 or 25); 0 for any other control.
std::uint32_t CountForButton(int controlId);

// True for a count the driver lays out as a grid.
bool IsSupportedCount(std::uint32_t count);

}  // namespace adjust
