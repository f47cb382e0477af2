#include "target_timer.h"

namespace adjust {

TickStep StepOnTick(const TickInput& tick, std::uint32_t k, std::uint32_t count) {
  if (tick.handOffSignalled) return TickStep::StopAndClose;
  if (!tick.ownTimer || tick.driverIndex != 0) return TickStep::Wait;
  return k + 1 > count ? TickStep::StopAndClose : TickStep::ShowNext;
}

}  // namespace adjust
