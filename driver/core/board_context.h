// Everything the driver knows about one connected board, one record per concept. The driver keeps two,
// one per board slot; a slot's record lives as long as the process and is reused when its board is
// found again.
#pragma once

#include "actions/gestures.h"
#include "actions/hardware_buttons.h"
#include "actions/press_and_hold.h"
#include "actions/shortcut_table.h"
#include "actions/touch_buttons.h"
#include "calibration/calibration_block.h"
#include "calibration/capture_window.h"
#include "link/serial_link.h"
#include "pointer/pointer_state.h"
#include "pointer/smoothing.h"

namespace velno {

// The presses under way, per board: two boards' reader threads never share them.
struct BoardButtons {
  TouchButtonPress touchPress;
  HardwareButtonPress hardwarePress;
  bool rightClickStroke = false;  // the stroke under way presses the right button
  std::uint32_t touchButtonsForgotten = 0;  // the forgets of the settings window this board has taken
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
