// The phase of one board's pen, from lifted through a stroke to a capture run and back. The report path
// moves it, one pen report at a time, and is the only place that writes it.
#pragma once

#include <cstdint>

namespace velno {

// Pen-up and pen-down stand for the lead byte of a pen report.
//
//   Lifted       pen-down: the warm-up report, dropped             -> WarmingUp
//                pen-up: nothing                                   -> Lifted
//   WarmingUp    pen-down: left press at its own position          -> Down
//                pen-up: nothing                                   -> Lifted
//   Down         pen-down: move to the smoothed position           -> Down
//                pen-up: left release, the smoothing emptied       -> Lifted
//   AwaitingLift pen-down: nothing                                 -> AwaitingLift
//                pen-up: nothing                                   -> Lifted
//
// While a point or touch-button run is on, every pen report goes to the capture and the phase becomes
// RunDown or RunLifted as the report says; a stroke in progress is ended without an action when the run
// takes the pen, and a pen that was on the surface stays down for the run. The first report after the run
// leaves RunLifted as Lifted and RunDown as AwaitingLift, and is then taken in that phase.
//
// The smoothing window holds samples only while the pen is Down.
enum class PenPhase : std::uint8_t {
  Lifted,        // no stroke; the next pen-down report is the warm-up
  WarmingUp,     // the warm-up report was dropped; the next pen-down report presses
  Down,          // a stroke: the left button, or a touch button, is held
  RunLifted,     // a capture run has the pen, off the surface
  RunDown,       // a capture run has the pen, on the surface
  AwaitingLift,  // a run ended under a touch that began during it; the rest of that touch injects nothing
};

}  // namespace velno
