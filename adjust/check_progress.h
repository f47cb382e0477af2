// The check's way through its five crosses, apart from its window: which cross shows, where the pen
// lifted from each, and when a check nobody touches, or a second copy of the tool, ends it.
#pragma once

#include <array>
#include <cstdint>

#include "check_crosses.h"

namespace adjust {

inline constexpr unsigned kCheckTimerPeriodMs = 200;
inline constexpr std::uint64_t kCheckIdleMs = 30000;  // a check nobody touches ends as "Done"

struct CheckProgress {
  std::array<Pixel, kCheckCrosses> landed{};  // where the pen lifted from each cross taken
  std::uint32_t shown = 0;                    // the cross on show; kCheckCrosses once the result shows
  bool penDown = false;  // a touch began on this window (the pen may still rest on the last target)
  std::uint64_t touchedAtMs = 0;  // the last cross taken, in ms since the window opened
};

enum class CheckEventKind {
  PenDown,  // a touch began on the window
  PenUp,    // the pen lifted at `at`
  Tick,     // the window's polling timer
};

struct CheckEvent {
  CheckEventKind kind;
  std::uint64_t atMs = 0;         // since the window opened
  Pixel at{0, 0};                 // PenUp: the window's pixel under the pen
  bool handOffSignalled = false;  // Tick: a second copy of the tool asked this one to end
};

enum class CheckStep {
  Nothing,
  ShowNextCross,  // show cross `shown`
  ShowResult,     // the fifth cross was taken: the result screen
  EndAsDone,      // end the check as "Done"
};

// Takes `event` into `progress` and says what the window must do. A lift is taken only from a touch that
// began on the window, and only while a cross shows; each one taken restarts the idle time.
CheckStep StepCheck(CheckProgress& progress, const CheckEvent& event);

}  // namespace adjust
