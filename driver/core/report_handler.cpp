#include "report_handler.h"

#include <cstdint>

#include "calibration_capture.h"
#include "gestures.h"
#include "hardware_buttons.h"
#include "pen_event.h"
#include "press_and_hold.h"
#include "projective_mapping.h"
#include "settings_file.h"
#include "smoothing.h"
#include "touch_buttons.h"

namespace velno {
namespace {

std::uint32_t InjectionFlags(PenEvent event) {
  switch (event) {
    case kPenPress: return kInjectPress;
    case kPenRelease: return kInjectRelease;
    default: return kInjectMove;
  }
}

// A mapped position far outside the calibrated area can sit near the end of the 32-bit range; the
// extended-screen offset must not wrap it around.
std::int32_t AddOffset(std::int32_t value, std::int32_t offset) {
  const std::int64_t sum = static_cast<std::int64_t>(value) + offset;
  return sum > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(sum);
}

// A capture run takes the pen from the pointer path. A stroke in progress ends here: its left button is
// released where the pointer is, and its hold, gesture and touch-button press end without an action.
// The capture sees the pen still down, so that touch measures nothing until it is lifted.
void HandPenToCapture(Driver& driver, BoardContext& board) {
  if (board.capture.handover == CaptureHandover::None && board.penUp == 0) {
    // A stroke that began on a touch button pressed nothing.
    const TouchButtonPress& press = board.touchPress;
    if (press.pressed == 0 || press.leftHeld != 0) driver.platform.InjectMouse(kInjectRelease, board.outX, board.outY);
    board.touchPress.pressed = 0;
    CancelHold(driver.platform, board.hold);
    board.gesture = GestureBox{};
  }
  ResetSmoothing(board.smoothing);
  board.capture.active = false;
  board.capture.count = 0;
  board.capture.handover = CaptureHandover::InRun;
}

// After a run the pointer path starts afresh with an empty smoothing window, and a touch
// that began during the run gives no pointer input until the pen lifts.
void TakePenFromCapture(BoardContext& board) {
  ResetSmoothing(board.smoothing);
  board.capture.active = false;
  board.capture.count = 0;
  board.capture.handover = board.penUp == 0 ? CaptureHandover::AwaitingLift : CaptureHandover::None;
}

}  // namespace

void HandleReport(Driver& driver, BoardContext& board, const BoardReport& report) {
  const std::uint8_t lead = report[0];
  if (IsButtonPressLead(lead)) {
    OnHardwareButton(driver, board, lead - kButtonPressFirst, 1);
  } else if (IsButtonReleaseLead(lead)) {
    OnHardwareButton(driver, board, lead - kButtonReleaseFirst, 0);
  } else if (IsPenLead(lead)) {
    HandlePenReport(driver, board, report);
  }
}

void HandlePenReport(Driver& driver, BoardContext& board, const BoardReport& report) {
  const VelnoLibrary& velno = driver.velno;
  const std::uint8_t lead = report[0];
  const auto [x, y] = DecodePenPosition(report);

  const bool pointRun = velno.IsAdjusting() != 0;
  if (pointRun || velno.IsButtonAdjusting() != 0) {
    if (board.capture.handover != CaptureHandover::InRun) HandPenToCapture(driver, board);
    if (pointRun) {
      CapturePoint(driver, board, x, y, lead);
    } else {
      CaptureTouchButton(driver, board, x, y, lead);
    }
    return;
  }
  if (board.capture.handover == CaptureHandover::InRun) TakePenFromCapture(board);
  if (velno.IsGestureAdjusting() != 0) {
    SaveSettings(driver, board);
    velno.StopGestureAdjust();
  }
  if (board.capture.handover == CaptureHandover::AwaitingLift) {
    if (lead == kPenUpLead) {
      board.penUp = 1;
      board.capture.handover = CaptureHandover::None;
    }
    return;
  }

  // A lifted pen that keeps reporting only keeps the smoothing empty.
  if (board.penUp == 1 && lead == kPenUpLead) {
    ResetSmoothing(board.smoothing);
    return;
  }
  // The first pen report after every reset is dropped.
  if (board.smoothing.warmupCount < 1) {
    ++board.smoothing.warmupCount;
    if (lead == kPenUpLead) {
      ResetSmoothing(board.smoothing);
      board.penUp = 1;
    }
    return;
  }

  PenEvent event = kPenMove;
  if (board.penUp == 1) {
    if (lead == kPenDownLead) event = kPenPress;
  } else if (lead == kPenUpLead) {
    event = kPenRelease;
  }

  AddSmoothingSample(board.smoothing, x, y);

  if (board.calibrated != 0) {
    const ScreenPoint mapped = MapPoint(board, board.smoothing.avgX, board.smoothing.avgY);
    board.outX = mapped.x;
    board.outY = mapped.y;
  } else {
    board.outX = board.smoothing.avgX * kUncalibratedScale;
    board.outY = board.smoothing.avgY * kUncalibratedScale;
  }

  if (CheckTouchButtons(driver, board, event) == 0) {
    if (velno.IsUsingGesture(-1) != 0) TrackGesture(driver, board, x, y, event);
    TrackHold(driver.platform, board.hold, {board.smoothing.avgX, board.smoothing.avgY}, event);

    if (board.extendScreenFlag == 1) board.outX = AddOffset(board.outX, kExtendedScreenOffset);
    if (board.extendScreenFlag == 2) board.outY = AddOffset(board.outY, kExtendedScreenOffset);

    driver.platform.InjectMouse(InjectionFlags(event), board.outX, board.outY);
    if (event == kPenPress) {
      board.penUp = 0;
    } else if (event == kPenRelease) {
      ResetSmoothing(board.smoothing);
      board.penUp = 1;
    }
  }

  board.lastX = x;
  board.lastY = y;
}

}  // namespace velno
