#include "pointer/report_handler.h"

#include <cstdint>

#include "calibration/calibration_capture.h"
#include "calibration/calibration_events.h"
#include "platform/driver_platform.h"
#include "actions/gestures.h"
#include "actions/hardware_buttons.h"
#include "pointer/output_mapping.h"
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
// released where the pointer is, and its hold, gesture and touch-button press end without an action.
// The capture sees the pen still down, so that touch measures nothing until it is lifted.
void HandPenToCapture(DriverPlatform& platform, BoardContext& board) {
  if (board.capture.handover == CaptureHandover::None && !board.pointer.penUp) {
    // A stroke that began on a touch button pressed nothing.
    TouchButtonPress& press = board.buttons.touchPress;
    if (!press.pressed || press.leftHeld) Inject(platform, kInjectRelease, board.pointer.out);
    press.pressed = false;
    CancelHold(platform, board.hold);
    board.gesture = GestureBox{};
  }
  ResetSmoothing(board.smoothing);
  board.capture.active = false;
  board.capture.count = 0;
  board.capture.handover = CaptureHandover::InRun;
}

// After a run the pointer path starts afresh with an empty smoothing window, and a touch
// that began during the run gives no pointer input until the pen lifts.
void TakePenFromCapture(SmoothingWindow& smoothing, CaptureWindow& capture, bool penUp) {
  ResetSmoothing(smoothing);
  capture.active = false;
  capture.count = 0;
  capture.handover = penUp ? CaptureHandover::None : CaptureHandover::AwaitingLift;
}

// The report's pen event moves the pen state: a press puts it down, a release lifts it and empties the
// smoothing window for the next stroke.
void FollowPen(PointerState& pointer, SmoothingWindow& smoothing, PenEvent event) {
  if (event == kPenPress) {
    pointer.penUp = false;
  } else if (event == kPenRelease) {
    ResetSmoothing(smoothing);
    pointer.penUp = true;
  }
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
  PointerState& pointer = board.pointer;
  SmoothingWindow& smoothing = board.smoothing;
  CalibrationBlock& calibration = board.calibration;
  const std::uint8_t lead = report[0];
  const auto [x, y] = DecodePenPosition(report);

  const bool pointRun = sharedState.IsAdjusting() != 0;
  if (pointRun || sharedState.IsButtonAdjusting() != 0) {
    if (board.capture.handover != CaptureHandover::InRun) HandPenToCapture(platform, board);
    if (!pointRun) {
      if (CaptureTouchButton(sharedState, capture, board.capture, pointer.penUp, calibration.touchButtons, x, y,
                             lead == kPenDownLead)) {
        SaveSettings(platform, sharedState, calibration);
      }
      return;
    }
    const PointRunStep step =
        CapturePoint(sharedState, capture, board.capture, pointer.penUp, calibration, x, y, lead == kPenDownLead);
    if (step == PointRunStep::Completed) SaveSettings(platform, sharedState, calibration);
    if (step != PointRunStep::Measuring) ReportCalibrationOutcome(platform, step == PointRunStep::Completed,
                                                                  sharedState.GetAdjustType());
    return;
  }
  if (board.capture.handover == CaptureHandover::InRun) TakePenFromCapture(smoothing, board.capture, pointer.penUp);
  if (sharedState.IsGestureAdjusting() != 0) {
    SaveSettings(platform, sharedState, calibration);
    sharedState.StopGestureAdjust();
  }
  if (board.capture.handover == CaptureHandover::AwaitingLift) {
    if (lead == kPenUpLead) {
      pointer.penUp = true;
      board.capture.handover = CaptureHandover::None;
    }
    return;
  }

  // A lifted pen that keeps reporting only keeps the smoothing empty.
  if (pointer.penUp && lead == kPenUpLead) {
    ResetSmoothing(smoothing);
    return;
  }
  // The first pen report after every reset is dropped.
  if (smoothing.warmupCount < 1) {
    ++smoothing.warmupCount;
    if (lead == kPenUpLead) {
      ResetSmoothing(smoothing);
      pointer.penUp = true;
    }
    return;
  }

  PenEvent event = kPenMove;
  if (pointer.penUp) {
    if (lead == kPenDownLead) event = kPenPress;
  } else if (lead == kPenUpLead) {
    event = kPenRelease;
  }

  AddSmoothingSample(smoothing, x, y);
  const BoardPoint smoothed{smoothing.avgX, smoothing.avgY};

  pointer.out = MapToOutput(calibration, platform.CurrentDisplayLayout(), smoothed);

  // A report a touch button takes gives no pointer input, but its press and release still put the pen
  // down and lift it.
  if (!CheckTouchButtons(platform, calibration.touchButtons, board.buttons.touchPress, board.shortcuts, smoothed,
                         event)) {
    if (sharedState.IsUsingGesture(-1) != 0) TrackGesture(platform, sharedState, board.gesture, board.shortcuts, x, y, event);
    TrackHold(platform, board.hold, smoothed, event);
    Inject(platform, InjectionFlags(event), pointer.out);
  }
  FollowPen(pointer, smoothing, event);

  pointer.lastX = x;
  pointer.lastY = y;
}

}  // namespace velno
