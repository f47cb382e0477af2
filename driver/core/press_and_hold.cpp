#include "press_and_hold.h"

namespace velno {

// Press-and-hold is not recognised yet.
void TrackHold(Driver&, BoardContext&, PenEvent) {}

}  // namespace velno
