// The measured positions of one calibration or touch-button run, shared by all boards of the process.
#pragma once

#include <array>
#include <bitset>
#include <mutex>

#include "common/board_point.h"
#include "calibration/calibration_block.h"

namespace velno {

struct CaptureTables {
  std::array<BoardPoint, kMaxPoints> points{};   // entry k - 1: calibration target k
  std::bitset<kMaxPoints> pointsMeasured;         // the entries of points measured in the pass under way
  std::array<BoardPoint, kMaxPoints> buttons{};  // entry k - 1: touch button k
  std::mutex lock;  // two boards' readers may complete measurements at once
};

}  // namespace velno
