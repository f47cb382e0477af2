#include "report_path.h"

#include <cstdint>

#include "actions/gestures.h"
#include "actions/hardware_buttons.h"
#include "actions/press_and_hold.h"
#include "actions/touch_buttons.h"
#include "calibration/calibration_capture.h"
#include "calibration/calibration_events.h"
#include "calibration/settings_file.h"
#include "common/pen_event.h"
#include "pointer/output_mapping.h"
#include "pointer/pen_phase.h"
#include "pointer/smoothing.h"
#include "settings/live_settings.h"

namespace velno {
namespace {

std::uint32_t InjectionFlags(PenEvent event, bool rightButton) {
  switch (event) {
    case kPenPress: return rightButton ? kInjectRightPress : kInjectPress;
    case kPenRelease: return rightButton ? kInjectRightRelease : kInjectRelease;
    default: return kInjectMove;
  }
}

void Inject(PointerOutput& pointer, std::uint32_t flags, const OutputPosition& at) {
  pointer.InjectMouse(at.virtualDesk ? flags | kMouseVirtualDesk : flags, at.x, at.y);
}

// A capture run takes the pen in a stroke: its left button is released where the pointer is, its
// smoothing is emptied, and its hold, gesture and touch-button press end without an action.
void EndStrokeForRun(PointerOutput& pointer, BoardContext& board) {
  // A stroke that began on a touch button pressed nothing.
  TouchButtonPress& press = board.buttons.touchPress;
  if (!press.pressed || press.leftHeld) {
    Inject(pointer, board.buttons.rightClickStroke ? kInjectRightRelease : kInjectRelease, board.pointer.out);
  }
  press.pressed = false;
  board.buttons.rightClickStroke = false;
  CancelHold(pointer, board.hold);
  board.gesture = GestureBox{};
  ResetSmoothing(board.smoothing);
}

// One pen report while a run is on: the capture has it, and the run's end is saved and logged.
void CaptureReport(const ReportPathWiring& path, BoardContext& board, bool pointRun, bool penWasDown, std::int32_t x,
                   std::int32_t y, bool penDown) {
  const SharedState& sharedState = path.sharedState;
  CalibrationBlock& calibration = board.calibration;
  if (!pointRun) {
    if (CaptureTouchButton(sharedState, path.capture, board.capture, penWasDown, calibration.touchButtons, x, y,
                           penDown)) {
      SaveSettings(path.settings, sharedState, calibration);
    }
    return;
  }
  const PointRunStep step =
      CapturePoint(sharedState, path.capture, board.capture, penWasDown, calibration, x, y, penDown);
  if (step == PointRunStep::Refused) ReportCalibrationOutcome(path.log, false, sharedState.GetAdjustType());
  // "Saved" only once the file holds it; a save that failed was logged with its reason by the store.
  if (step == PointRunStep::Completed && SaveSettings(path.settings, sharedState, calibration)) {
    ReportCalibrationOutcome(path.log, true, sharedState.GetAdjustType());
  }
}

// One report of a stroke: smoothed, mapped, offered to the touch buttons, gestures and hold, and injected
// unless a touch button took it. A release empties the smoothing for the next stroke.
void FollowStroke(const ReportPathWiring& path, BoardContext& board, PenEvent event, std::int32_t x, std::int32_t y) {
  PointerState& pointer = board.pointer;
  SmoothingWindow& smoothing = board.smoothing;
  AddSmoothingSample(smoothing, x, y);
  const BoardPoint smoothed{smoothing.avgX, smoothing.avgY};

  pointer.out = MapToOutput(board.calibration, path.displays.CurrentDisplayLayout(), smoothed);

  // A report a touch button takes gives no pointer input, but its press and release still put the pen
  // down and lift it.
  bool& rightStroke = board.buttons.rightClickStroke;
  if (!CheckTouchButtons(path.clock, path.pointer, path.actions, path.buttonActions, board.calibration.touchButtons,
                         board.buttons.touchPress, board.shortcuts, smoothed, event)) {
    if (event == kPenPress && path.actions.requests.rightClickNext.load(std::memory_order_relaxed)) {
      rightStroke = path.actions.requests.rightClickNext.exchange(false);
    }
    // A right-click stroke is one click: no gesture, no press-and-hold.
    if (!rightStroke && GesturesEnabled(path.sharedState)) {
      TrackGesture(path.actions, path.buttonActions, path.sharedState, board.gesture, board.shortcuts, x, y, event);
    }
    const std::int32_t rightClickAfterMs = path.rightClickAfterMs.load(std::memory_order_relaxed);
    if (rightClickAfterMs == kHoldOff || rightStroke) {
      CancelHold(path.pointer, board.hold);  // turned off during a hold: the cursor as it was
    } else {
      TrackHold(path.clock, path.pointer, path.actions.keys, board.hold, smoothed, event, rightClickAfterMs);
    }
    Inject(path.pointer, InjectionFlags(event, rightStroke), pointer.out);
    if (event == kPenRelease) rightStroke = false;
  }
  if (event == kPenRelease) ResetSmoothing(smoothing);

  pointer.lastX = x;
  pointer.lastY = y;
}

void HandlePenReport(const ReportPathWiring& path, BoardContext& board, const BoardReport& report) {
  const auto [x, y] = DecodePenPosition(report);
  const bool penDown = report[0] == kPenDownLead;
  const SharedState& sharedState = path.sharedState;

  const bool pointRun = sharedState.IsAdjusting() != 0;
  const bool runOn = pointRun || sharedState.IsButtonAdjusting() != 0;
  if (!runOn && sharedState.IsGestureAdjusting() != 0) {
    SaveSettings(path.settings, sharedState, board.calibration);
    sharedState.StopGestureAdjust();
  }
  TakeForgottenTouchButtons(path.actions.requests, board.buttons.touchButtonsForgotten, board.buttons.touchPress,
                            board.calibration.touchButtons);
  const PenStep step = StepPen(board.pointer.phase, runOn, penDown);
  switch (step.action) {
    case PenAction::None:
      break;
    case PenAction::Press:
      FollowStroke(path, board, kPenPress, x, y);
      break;
    case PenAction::Move:
      FollowStroke(path, board, kPenMove, x, y);
      break;
    case PenAction::Release:
      FollowStroke(path, board, kPenRelease, x, y);
      break;
    case PenAction::EndStrokeCapture:
      EndStrokeForRun(path.pointer, board);
      [[fallthrough]];
    case PenAction::StartCapture:
      board.capture.active = false;
      board.capture.count = 0;
      [[fallthrough]];
    case PenAction::Capture:
      CaptureReport(path, board, pointRun, step.penWasDown, x, y, penDown);
      break;
  }
  board.pointer.phase = step.next;
}

}  // namespace

void HandleReport(const ReportPathWiring& path, BoardContext& board, const BoardReport& report) {
  const std::uint8_t lead = report[0];
  if (IsButtonPressLead(lead)) {
    OnHardwareButton(path.clock, path.actions, *path.buttonActions.Current(), board.buttons.hardwarePress,
                     board.shortcuts, lead - kButtonPressFirst, true);
  } else if (IsButtonReleaseLead(lead)) {
    OnHardwareButton(path.clock, path.actions, *path.buttonActions.Current(), board.buttons.hardwarePress,
                     board.shortcuts, lead - kButtonReleaseFirst, false);
  } else if (IsPenLead(lead)) {
    HandlePenReport(path, board, report);
  }
}

}  // namespace velno
