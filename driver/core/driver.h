// The process-wide state of the driver: its platform, the bound library, the two board slots.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>

#include "board_context.h"
#include "calibration/capture_tables.h"
#include "platform/driver_platform.h"
#include "calibration/run_watch.h"
#include "platform/shared_state.h"

namespace velno {

inline constexpr int kBoardSlots = 2;

struct Driver {
  explicit Driver(DriverPlatform& p) : platform(p) {}

  DriverPlatform& platform;
  SharedState sharedState{};
  std::array<BoardContext, kBoardSlots> boards;  // built slot 0 first
  std::atomic<bool> stopFlag{false};  // set once, when the driver stops; readers leave on it
  // Guards the link of both slots: the supervisor sets
  // them and compares the other slot's while a reader may clear its own on losing the board.
  std::mutex linkLock;
  CaptureTables capture;
  RunWatch runWatch;
};

}  // namespace velno
