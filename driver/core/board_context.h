// Everything the driver knows about one connected board. The driver keeps two, one per board slot.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "board_point.h"
#include "gestures.h"
#include "hardware_buttons.h"
#include "platform_types.h"
#include "press_and_hold.h"
#include "shortcut_table.h"
#include "smoothing.h"
#include "touch_buttons.h"

namespace velno {

inline constexpr int kMaxPoints = 64;

// How the pen passes between the pointer path and the capture runs: None, the pointer path has it;
// InRun, its reports go to a capture run; AwaitingLift, a run has ended under a touch that began during
// it, and the rest of that touch injects nothing.
enum class CaptureHandover : std::int32_t { None = 0, InRun = 1, AwaitingLift = 2 };

// The board's serial link: the open port, the name it was found under and the reader thread. Guarded
// by the driver's linkLock.
struct SerialLink {
  PortHandle port = PortHandle::None;
  std::wstring portName;
  ThreadHandle reader = ThreadHandle::None;
};

// One board's part in a capture run: the measurement under way (ten steady samples near an anchor)
// and who has the pen.
struct CaptureWindow {
  bool active = false;     // a measurement runs: the pen went down during the run
  std::int32_t count = 0;  // samples summed, 0..9
  std::int32_t sumX = 0;
  std::int32_t sumY = 0;
  std::int32_t anchorX = 0;  // where the measurement's samples must stay near
  std::int32_t anchorY = 0;
  CaptureHandover handover = CaptureHandover::None;
};

struct BoardContext {
  BoardContext();

  // Calibration block.
  std::uint32_t adjustType;  // calibration point count, 0 = no grid
  std::int32_t pointRows;
  std::int32_t pointCols;
  std::array<BoardPoint, kMaxPoints> touchButtons;  // board units
  std::uint32_t touchButtonCount;
  std::array<BoardPoint, kMaxPoints> rawPoints;     // measured board position of each calibration point
  std::array<BoardPoint, kMaxPoints> targetPoints;  // screen position of each point, absolute input units
  std::array<BoardPoint, kMaxPoints> cellCentres;   // board units, in cell order
  std::int32_t cellCount;
  std::int32_t cellRows;
  std::int32_t cellCols;

  ShortcutTable shortcuts;

  // Transform coefficients a..h, one table per coefficient, entry q for cell q.
  std::array<std::array<double, kMaxPoints>, 8> cellCoefficients;

  // Pointer state.
  SmoothingWindow smoothing;
  std::int32_t penUp;
  std::int32_t lastX;
  std::int32_t lastY;
  CaptureWindow capture;
  // Pointer output.
  std::int32_t outX;  // absolute input units, extended-screen offset included
  std::int32_t outY;
  std::int32_t calibrated;
  std::int32_t extendScreenFlag;  // 0 primary screen, 1 offset X by one screen, 2 offset Y by one screen

  SerialLink link;

  // Button presses and the recognisers, per board: two boards' reader threads never share them.
  TouchButtonPress touchPress;
  HardwareButtonPress buttonPress;
  HoldTracking hold;
  GestureBox gesture;
};

}  // namespace velno
