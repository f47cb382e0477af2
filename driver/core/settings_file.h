// The settings file "config.ini" beside the driver program.
#pragma once

#include "driver.h"

namespace velno {

void LoadSettings(Driver& driver, BoardContext& board);
void SaveSettings(Driver& driver, const BoardContext& board);

}  // namespace velno
