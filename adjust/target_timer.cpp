#include "target_timer.h"

#include "board_facts.h"
#include "run_countdown.h"

namespace adjust {

TickAction StepOnTick(const TickInput& tick, std::uint32_t k, std::uint32_t count) {
  if (tick.handOffSignalled) return {TickStep::Close};
  if (!tick.ownTimer) return {TickStep::Wait};
  if (tick.driverIndex == 0) {
    return k + 1 > count ? TickAction{TickStep::Finish} : TickAction{TickStep::ShowNext, k + 1};
  }
  const std::uint32_t again = velno::TargetAskedAgain(tick.driverIndex);
  if (again >= 1 && again <= count) {
    // Target 1 asked for while the last shows: the whole pass again, as after a refused grid.
    return {again == 1 && k == count ? TickStep::RestartPass : TickStep::ShowAgain, again};
  }
  if (tick.msSinceProgress >= kRunTimeoutMs) return {TickStep::TimeOut};
  return {TickStep::Wait};
}

}  // namespace adjust
