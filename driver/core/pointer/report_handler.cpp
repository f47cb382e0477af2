#include "pointer/report_handler.h"

#include <cstdint>

#include "calibration/calibration_capture.h"
#include "calibration/calibration_events.h"
#include "platform/driver_platform.h"
#include "actions/gestures.h"
#include "actions/hardware_buttons.h"
#include "pointer/output_mapping.h"
#include "pointer/pen_phase.h"
#include "common/pen_event.h"
#include "actions/press_and_hold.h"
#include "calibration/settings_file.h"
#include "pointer/smoothing.h"
#include "actions/touch_buttons.h"

namespace velno {
namespace {

std::uint32_t InjectionFlags(PenEvent event) {
  switch (event) {
    case kPenPress: return kInjectPress;
    case kPenRelease: return kInjectRelease;
    default: return kInjectMove;
  }
}

void Inject(DriverPlatform& platform, std::uint32_t flags, const OutputPosition& at) {
  platform.InjectMouse(at.virtualDesk ? flags | kMouseVirtualDesk : flags, at.x, at.y);
}

// A capture run takes the pen from the pointer path. A stroke in progress ends here: its left button is
// released where the pointer is, its smoothing is emptied, and its hold, gesture and touch-button press
// end without an action. A pen on the surface stays down for the run, so that touch measures nothing
// until it is lifted.
PenPhase HandPenToCapture(DriverPlatform& platform, BoardContext& board, PenPhase phase) {
  if (phase == PenPhase::Down) {
    // A stroke that began on a touch button pressed nothing.
    TouchButtonPress& press = board.buttons.touchPress;
    if (!press.pressed || press.leftHeld) Inject(platform, kInjectRelease, board.pointer.out);
    press.pressed = false;
    CancelHold(platform, board.hold);
    board.gesture = GestureBox{};
    ResetSmoothing(board.smoothing);
  }
  board.capture.active = false;
  board.capture.count = 0;
  return phase == PenPhase::Down || phase == PenPhase::AwaitingLift ? PenPhase::RunDown : PenPhase::RunLifted;
}

// One pen report while a run is on: the capture has it, and the pen is where the report says.
PenPhase CaptureReport(DriverPlatform& platform, const SharedState& sharedState, CaptureTables& capture,
                       BoardContext& board, PenPhase phase, bool pointRun, std::int32_t x, std::int32_t y,
                       bool penDown) {
  if (phase != PenPhase::RunLifted && phase != PenPhase::RunDown) phase = HandPenToCapture(platform, board, phase);
  const bool penWasDown = phase == PenPhase::RunDown;
  CalibrationBlock& calibration = board.calibration;
  if (!pointRun) {
    if (CaptureTouchButton(sharedState, capture, board.capture, penWasDown, calibration.touchButtons, x, y,
                           penDown)) {
      SaveSettings(platform, sharedState, calibration);
    }
  } else {
    const PointRunStep step =
        CapturePoint(sharedState, capture, board.capture, penWasDown, calibration, x, y, penDown);
    if (step == PointRunStep::Completed) SaveSettings(platform, sharedState, calibration);
    if (step != PointRunStep::Measuring) ReportCalibrationOutcome(platform, step == PointRunStep::Completed,
                                                                  sharedState.GetAdjustType());
  }
  return penDown ? PenPhase::RunDown : PenPhase::RunLifted;
}

// One report of a stroke: smoothed, mapped, offered to the touch buttons, gestures and hold, and injected
// unless a touch button took it. A release empties the smoothing for the next stroke.
void FollowStroke(DriverPlatform& platform, const SharedState& sharedState, BoardContext& board, PenEvent event,
                  std::int32_t x, std::int32_t y) {
  PointerState& pointer = board.pointer;
  SmoothingWindow& smoothing = board.smoothing;
  AddSmoothingSample(smoothing, x, y);
  const BoardPoint smoothed{smoothing.avgX, smoothing.avgY};

  pointer.out = MapToOutput(board.calibration, platform.CurrentDisplayLayout(), smoothed);

  // A report a touch button takes gives no pointer input, but its press and release still put the pen
  // down and lift it.
  if (!CheckTouchButtons(platform, board.calibration.touchButtons, board.buttons.touchPress, board.shortcuts,
                         smoothed, event)) {
    if (sharedState.IsUsingGesture(-1) != 0) TrackGesture(platform, sharedState, board.gesture, board.shortcuts, x, y, event);
    TrackHold(platform, board.hold, smoothed, event);
    Inject(platform, InjectionFlags(event), pointer.out);
  }
  if (event == kPenRelease) ResetSmoothing(smoothing);

  pointer.lastX = x;
  pointer.lastY = y;
}

// One pen report while no run is on.
PenPhase PointerReport(DriverPlatform& platform, const SharedState& sharedState, BoardContext& board,
                       PenPhase phase, std::int32_t x, std::int32_t y, bool penDown) {
  switch (phase) {
    case PenPhase::Lifted:
      // The first pen report of a touch is dropped; a lifted pen that keeps reporting changes nothing.
      return penDown ? PenPhase::WarmingUp : PenPhase::Lifted;
    case PenPhase::WarmingUp:
      if (!penDown) return PenPhase::Lifted;
      FollowStroke(platform, sharedState, board, kPenPress, x, y);
      return PenPhase::Down;
    case PenPhase::Down:
      FollowStroke(platform, sharedState, board, penDown ? kPenMove : kPenRelease, x, y);
      return penDown ? PenPhase::Down : PenPhase::Lifted;
    case PenPhase::AwaitingLift:
      return penDown ? PenPhase::AwaitingLift : PenPhase::Lifted;
    case PenPhase::RunLifted:
    case PenPhase::RunDown:
      // The run has ended and this is the pointer path's first report since: a touch that began during
      // the run gives no pointer input until the pen lifts.
      return PointerReport(platform, sharedState, board,
                           phase == PenPhase::RunDown ? PenPhase::AwaitingLift : PenPhase::Lifted, x, y, penDown);
  }
  return phase;
}

}  // namespace

void HandleReport(DriverPlatform& platform, const SharedState& sharedState, CaptureTables& capture, BoardContext& board,
                  const BoardReport& report) {
  const std::uint8_t lead = report[0];
  if (IsButtonPressLead(lead)) {
    OnHardwareButton(platform, board.buttons.hardwarePress, board.shortcuts, lead - kButtonPressFirst, true);
  } else if (IsButtonReleaseLead(lead)) {
    OnHardwareButton(platform, board.buttons.hardwarePress, board.shortcuts, lead - kButtonReleaseFirst, false);
  } else if (IsPenLead(lead)) {
    HandlePenReport(platform, sharedState, capture, board, report);
  }
}

void HandlePenReport(DriverPlatform& platform, const SharedState& sharedState, CaptureTables& capture,
                     BoardContext& board, const BoardReport& report) {
  const auto [x, y] = DecodePenPosition(report);
  const bool penDown = report[0] == kPenDownLead;
  const PenPhase phase = board.pointer.phase;

  const bool pointRun = sharedState.IsAdjusting() != 0;
  const bool runOn = pointRun || sharedState.IsButtonAdjusting() != 0;
  if (!runOn && sharedState.IsGestureAdjusting() != 0) {
    SaveSettings(platform, sharedState, board.calibration);
    sharedState.StopGestureAdjust();
  }
  board.pointer.phase = runOn ? CaptureReport(platform, sharedState, capture, board, phase, pointRun, x, y, penDown)
                              : PointerReport(platform, sharedState, board, phase, x, y, penDown);
}

}  // namespace velno
