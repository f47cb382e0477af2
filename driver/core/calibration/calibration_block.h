// One board's calibration: the grid of measured points and their screen targets, the transform of each
// cell, the touch-button places, and where on the desktop the board's screen lies. Loaded from and saved
// to the settings file; written by the supervisor before the board's reader starts and by a capture run.
#pragma once

#include <array>
#include <cstdint>

#include "common/board_point.h"

namespace velno {

inline constexpr int kMaxPoints = 64;

// The places on the writing surface that act as buttons, board units, in list order.
struct TouchButtonList {
  std::array<BoardPoint, kMaxPoints> positions{};
  std::uint32_t count = 0;
};

struct CalibrationBlock {
  std::uint32_t adjustType = 0;  // calibration point count, 0 = no grid
  std::int32_t pointRows = 0;
  std::int32_t pointCols = 0;
  TouchButtonList touchButtons;
  std::array<BoardPoint, kMaxPoints> rawPoints{};     // measured board position of each calibration point
  std::array<BoardPoint, kMaxPoints> targetPoints{};  // screen position of each point, absolute input units
  std::array<BoardPoint, kMaxPoints> cellCentres{};   // board units, in cell order
  std::int32_t cellCount = 0;
  std::int32_t cellRows = 0;
  std::int32_t cellCols = 0;
  // Transform coefficients a..h, one table per coefficient, entry q for cell q.
  std::array<std::array<double, kMaxPoints>, 8> cellCoefficients{};
  bool calibrated = false;            // the transforms map the pen; otherwise board units x16
  std::int32_t extendScreenFlag = 0;  // 0 primary screen, 1 offset X by one screen, 2 offset Y by one screen
};

}  // namespace velno
