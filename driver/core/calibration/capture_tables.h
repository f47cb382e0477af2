// The measured positions of one calibration or touch-button run, shared by all boards of the process.
#pragma once

#include <array>
#include <mutex>

#include "calibration/calibration_block.h"
#include "calibration/slip_rules.h"
#include "common/board_point.h"

namespace velno {

struct CaptureTables {
  CalibrationPass pass;                          // taken.points entry k - 1: calibration target k
  std::array<BoardPoint, kMaxPoints> buttons{};  // entry k - 1: touch button k
  std::mutex lock;  // two boards' readers may complete measurements at once
};

}  // namespace velno
