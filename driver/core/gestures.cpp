#include "gestures.h"

namespace velno {

// Gestures are not recognised yet.
void TrackGesture(Driver&, BoardContext&, std::int32_t, std::int32_t, PenEvent) {}

}  // namespace velno
