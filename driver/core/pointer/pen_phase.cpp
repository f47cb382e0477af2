#include "pointer/pen_phase.h"

namespace velno {
namespace {

PenPhase RunPhase(bool penDown) { return penDown ? PenPhase::RunDown : PenPhase::RunLifted; }

PenStep StepInRun(PenPhase phase, bool penDown) {
  switch (phase) {
    case PenPhase::RunLifted:
    case PenPhase::RunDown:
      return {RunPhase(penDown), PenAction::Capture, phase == PenPhase::RunDown};
    case PenPhase::Down:
      return {RunPhase(penDown), PenAction::EndStrokeCapture, true};
    case PenPhase::AwaitingLift:
      return {RunPhase(penDown), PenAction::StartCapture, true};
    case PenPhase::Lifted:
    case PenPhase::WarmingUp:
      break;
  }
  return {RunPhase(penDown), PenAction::StartCapture, false};
}

PenStep StepOnPointerPath(PenPhase phase, bool penDown) {
  switch (phase) {
    case PenPhase::Lifted:
      // The first pen report of a touch is dropped; a lifted pen that keeps reporting changes nothing.
      return {penDown ? PenPhase::WarmingUp : PenPhase::Lifted, PenAction::None};
    case PenPhase::WarmingUp:
      return penDown ? PenStep{PenPhase::Down, PenAction::Press} : PenStep{PenPhase::Lifted, PenAction::None};
    case PenPhase::Down:
      return penDown ? PenStep{PenPhase::Down, PenAction::Move} : PenStep{PenPhase::Lifted, PenAction::Release};
    case PenPhase::AwaitingLift:
      return {penDown ? PenPhase::AwaitingLift : PenPhase::Lifted, PenAction::None};
    case PenPhase::RunLifted:
      return StepOnPointerPath(PenPhase::Lifted, penDown);
    case PenPhase::RunDown:
      return StepOnPointerPath(PenPhase::AwaitingLift, penDown);
  }
  return {phase, PenAction::None};
}

}  // namespace

PenStep StepPen(PenPhase phase, bool runOn, bool penDown) {
  return runOn ? StepInRun(phase, penDown) : StepOnPointerPath(phase, penDown);
}

}  // namespace velno
