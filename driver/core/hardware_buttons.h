// The board's 16 hardware buttons.
#pragma once

#include <cstdint>

#include "driver.h"

namespace velno {

void OnHardwareButton(Driver& driver, BoardContext& board, std::int32_t number, std::int32_t pressed);

}  // namespace velno
