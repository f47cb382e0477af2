#include "touch_buttons.h"

namespace velno {

// No touch buttons are handled yet: no report is ever taken.
std::int32_t CheckTouchButtons(Driver&, BoardContext&, PenEvent) { return 0; }

}  // namespace velno
