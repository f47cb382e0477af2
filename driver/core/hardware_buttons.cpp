#include "hardware_buttons.h"

namespace velno {

// Hardware buttons have no actions yet.
void OnHardwareButton(Driver&, BoardContext&, std::int32_t, std::int32_t) {}

}  // namespace velno
