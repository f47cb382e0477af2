#include "target_timer.h"

#include "run_countdown.h"

namespace adjust {

TickStep StepOnTick(const TickInput& tick, std::uint32_t k, std::uint32_t count) {
  if (tick.handOffSignalled) return TickStep::Close;
  if (!tick.ownTimer) return TickStep::Wait;
  if (tick.driverIndex == 0) return k + 1 > count ? TickStep::Finish : TickStep::ShowNext;
  // The driver answers a refused grid with index 1 while the tool waits for its 0 after the last target.
  if (k == count && count > 1 && tick.driverIndex == 1) return TickStep::RestartPass;
  if (tick.msSinceProgress >= kRunTimeoutMs) return TickStep::TimeOut;
  return TickStep::Wait;
}

}  // namespace adjust
