// Which measurements of a calibration pass are slips, and how a pass recovers from a slip it took. A
// measurement that the points taken so far show to be wrong (grid_fit.h) is refused: the driver does not
// answer, the target stays red and the teacher touches it again. A slip that fitted when it came (a later
// target, a palm, before enough points were taken to tell) shows later: a target refused twice in one
// place is taken to be touched where it is, so an earlier point is the slip. The pass forgets from the
// first point whose leaving out makes the rest fit, and asks for that target again.
#pragma once

#include <cstdint>

#include "calibration/grid_fit.h"

namespace velno {

struct CalibrationPass {
  PassPoints taken;
  std::int32_t refusedTarget = 0;  // the target whose last measurement was refused; 0 for none
  BoardPoint refusedAt{};          // where that measurement lay
};

enum class PassStep {
  Take,      // stored as the target's point
  Refuse,    // a slip: not stored, not answered
  AskAgain,  // the pass forgot its points from `target` on: the tool is to show that target again
};

struct PassAnswer {
  PassStep step;
  std::int32_t target = 0;
};

// Target 1 begins a pass: nothing taken or refused before it counts.
void BeginPass(CalibrationPass& pass);

// Judges `measurement`, taken while target `target` (1-based) of a run of pointCount points shows, and
// records it in the pass. A count that makes no grid has no rules: everything is taken.
PassAnswer JudgeMeasurement(std::uint32_t pointCount, CalibrationPass& pass, std::int32_t target,
                            BoardPoint measurement);

}  // namespace velno
