// The process-wide state of the driver: its platform, the bound library, the two board slots, and the
// report path's wiring that every board's reader hands its reports to.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>

#include "actions/button_actions.h"
#include "board_context.h"
#include "calibration/capture_tables.h"
#include "calibration/run_watch.h"
#include "event_log_limits.h"
#include "platform/driver_platform.h"
#include "platform/shared_state.h"
#include "report_path.h"
#include "settings/live_settings.h"

namespace velno {

inline constexpr int kBoardSlots = 2;

struct Driver {
  explicit Driver(const DriverPlatform& p) : platform(p) {}

  DriverPlatform platform;
  SharedState sharedState{};
  std::array<BoardContext, kBoardSlots> boards;  // built slot 0 first
  std::atomic<bool> stopFlag{false};  // set once, when the driver stops; readers leave on it
  // Guards the link of both slots: the supervisor sets
  // them and compares the other slot's while a reader may clear its own on losing the board.
  std::mutex linkLock;
  CaptureTables capture;
  RunWatch runWatch;
  ActionRequests actionRequests;
  // The platform's event log behind the limits of repeated events; every part of the driver logs here.
  LimitedEventLog log{platform.log, [this] { return platform.clock.ReadMonotonicMs(); }};
  LiveSettings settings;  // the teacher's: read once the library is bound, changed by the settings window
  // Hears that what the driver's icon shows may have changed (a board found or lost, a link's health, a
  // calibration run) or that an action left it a request (actionRequests). Set before RunDriver; called on
  // any of its threads, so it must never block.
  std::function<void()> statusChanged;
  const ReportPathWiring reportPath{platform.clock,
                                    platform.pointer,
                                    platform.displays,
                                    {platform.keys, platform.programs, log, actionRequests, statusChanged},
                                    platform.settings,
                                    log,
                                    sharedState,
                                    capture,
                                    settings.buttonActions,
                                    settings.rightClickAfterMs};
};

}  // namespace velno
