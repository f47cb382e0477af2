// What the target window does on a timer tick: the hand-off signal from a second copy of the tool ends
// the run; the driver's index 0 means target k was taken, so the next one shows or the run ends; the
// driver's request for a target again (board_facts.h) means a touch it took was a slip, or, for target 1
// after the last, that it refused the finished grid; a run nobody touches ends by itself.
#pragma once

#include <cstdint>

namespace adjust {

inline constexpr unsigned kTargetTimerPeriodMs = 200;

// The window never stops the run itself: whoever ran it calls StopAdjust once it has ended.
enum class TickStep {
  Wait,          // the driver still measures target k
  ShowNext,      // publish and show target k + 1
  Close,         // a second copy asked: end the window with result 0
  Finish,        // the last target was taken and the calibration saved: end the window
  ShowAgain,     // the driver asks for an earlier target again: publish and show it
  RestartPass,   // the driver refused the finished grid and kept the previous calibration: target 1 again
  TimeOut,       // no target taken for kRunTimeoutMs: end the window, nothing saved
};

struct TickInput {
  bool handOffSignalled;    // the hand-off event was signalled (the wait consumed it)
  bool ownTimer;            // the tick comes from the window's own polling timer
  std::int32_t driverIndex; // GetAdjustCurrentIndex, read only when it matters
  std::uint32_t msSinceProgress = 0;  // since the window opened or the driver last took a target
};

struct TickAction {
  TickStep step;
  std::uint32_t target = 0;  // ShowNext, ShowAgain, RestartPass: the target to publish and show
  friend bool operator==(const TickAction&, const TickAction&) = default;
};

// The step for a tick while target k of `count` is on show. The hand-off signal wins over an index
// the driver reset on the same tick, and a target taken or asked for on the tick the time runs out
// still counts.
TickAction StepOnTick(const TickInput& tick, std::uint32_t k, std::uint32_t count);

}  // namespace adjust
