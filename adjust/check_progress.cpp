#include "check_progress.h"

#include <utility>

namespace adjust {

CheckStep StepCheck(CheckProgress& progress, const CheckEvent& event) {
  switch (event.kind) {
    case CheckEventKind::PenDown:
      progress.penDown = true;
      return CheckStep::Nothing;
    case CheckEventKind::PenUp:
      if (!std::exchange(progress.penDown, false) || progress.shown >= kCheckCrosses) return CheckStep::Nothing;
      progress.landed[progress.shown++] = event.at;
      progress.touchedAtMs = event.atMs;
      return progress.shown < kCheckCrosses ? CheckStep::ShowNextCross : CheckStep::ShowResult;
    case CheckEventKind::Tick:
      if (event.handOffSignalled || event.atMs - progress.touchedAtMs >= kCheckIdleMs) return CheckStep::EndAsDone;
      return CheckStep::Nothing;
  }
  return CheckStep::Nothing;
}

}  // namespace adjust
