// The phase of one board's pen, from lifted through a stroke to a capture run and back, as a pure
// transition: the phase and a pen report in, the next phase and what the report path does with the
// report out. The report path applies it and is the only place that writes the phase.
#pragma once

#include <cstdint>

namespace velno {

enum class PenPhase : std::uint8_t {
  Lifted,        // no stroke; the next pen-down report is the warm-up
  WarmingUp,     // the warm-up report was dropped; the next pen-down report presses
  Down,          // a stroke: the left button, or a touch button, is held
  RunLifted,     // a capture run has the pen, off the surface
  RunDown,       // a capture run has the pen, on the surface
  AwaitingLift,  // a run ended under a touch that began during it; the rest of that touch injects nothing
};

enum class PenAction : std::uint8_t {
  None,              // the report gives no input
  Press,             // a stroke begins: the left button goes down (or a touch button is pressed)
  Move,              // the stroke moves
  Release,           // the stroke ends: the left button comes up, the smoothing is emptied
  StartCapture,      // a run takes the pen: the capture starts afresh and takes the report
  EndStrokeCapture,  // a run takes the pen in a stroke: the stroke ends without an action, then as StartCapture
  Capture,           // the run's capture takes the report
};

struct PenStep {
  PenPhase next;
  PenAction action;
  bool penWasDown = false;  // for the capture: the pen was on the surface at the report before

  friend bool operator==(const PenStep&, const PenStep&) = default;
};

// Without a run (runOn false), pen-down and pen-up stand for the report's lead byte:
//
//   Lifted       pen-down: the warm-up report, dropped             -> WarmingUp
//                pen-up: nothing                                   -> Lifted
//   WarmingUp    pen-down: left press at its own position          -> Down
//                pen-up: nothing                                   -> Lifted
//   Down         pen-down: move to the smoothed position           -> Down
//                pen-up: left release, the smoothing emptied       -> Lifted
//   AwaitingLift pen-down: nothing                                 -> AwaitingLift
//                pen-up: nothing                                   -> Lifted
//   RunLifted, RunDown: the run has ended, and this first report since is taken as Lifted, or as
//                AwaitingLift (a touch that began during the run gives no input until the pen lifts)
//
// While a point or touch-button run is on, every report goes to the capture and the phase becomes RunDown
// or RunLifted as the report says; a stroke in progress is ended without an action when the run takes
// the pen, and a pen that was on the surface (Down, AwaitingLift) stays down for the run.
//
// The smoothing window holds samples only while the pen is Down.
PenStep StepPen(PenPhase phase, bool runOn, bool penDown);

}  // namespace velno
