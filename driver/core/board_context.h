// Everything the driver knows about one connected board. The driver keeps two, one per board slot.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "gestures.h"
#include "hardware_buttons.h"
#include "platform_types.h"
#include "press_and_hold.h"
#include "shortcut_table.h"
#include "touch_buttons.h"

namespace velno {

struct BoardPoint {
  std::int32_t x;
  std::int32_t y;

  friend bool operator==(const BoardPoint&, const BoardPoint&) = default;
};

inline constexpr int kMaxPoints = 64;
inline constexpr int kSmoothingRingSize = 50;
inline constexpr int kSmoothingWindow = 6;

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
  std::int32_t warmupCount;
  std::int32_t sumX;
  std::int32_t sumY;
  std::int32_t avgX;  // smoothed position, board units
  std::int32_t avgY;
  std::array<BoardPoint, kSmoothingRingSize> sampleRing;
  std::int32_t sampleCount;  // 0..6
  std::int32_t ringPos;      // 0..49
  std::int32_t penUp;
  std::int32_t lastX;
  std::int32_t lastY;
  // Calibration capture.
  std::int32_t captureActive;
  std::int32_t captureCount;
  CaptureHandover captureHandover;
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
