// Everything the driver knows about one connected board, one record per concept. The driver keeps two,
// one per board slot; a slot's record lives as long as the process and is reused when its board is
// found again.
#pragma once

#include "calibration_block.h"
#include "capture_window.h"
#include "gestures.h"
#include "hardware_buttons.h"
#include "pointer_state.h"
#include "press_and_hold.h"
#include "serial_link.h"
#include "shortcut_table.h"
#include "smoothing.h"
#include "touch_buttons.h"

namespace velno {

// The presses under way, per board: two boards' reader threads never share them.
struct BoardButtons {
  TouchButtonPress touchPress;
  HardwareButtonPress hardwarePress;
};

struct BoardContext {
  BoardContext();

  CalibrationBlock calibration;
  ShortcutTable shortcuts;
  SmoothingWindow smoothing;
  PointerState pointer;
  CaptureWindow capture;
  SerialLink link;
  BoardButtons buttons;
  HoldTracking hold;
  GestureBox gesture;
};

}  // namespace velno
