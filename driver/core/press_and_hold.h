// Press-and-hold: a pen held still for ten seconds and lifted gives a right click.
#pragma once

#include "driver.h"
#include "pen_event.h"

namespace velno {

void TrackHold(Driver& driver, BoardContext& board, PenEvent event);

}  // namespace velno
