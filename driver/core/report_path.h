// The report path: routing of one validated board report, and the pen path from decoded position to
// injected pointer input.
#pragma once

#include <atomic>
#include <cstdint>

#include "actions/button_actions.h"
#include "board_context.h"
#include "calibration/capture_tables.h"
#include "link/board_report.h"
#include "platform/clock.h"
#include "platform/displays.h"
#include "platform/event_log.h"
#include "platform/pointer_output.h"
#include "platform/settings_store.h"
#include "platform/shared_state.h"

namespace velno {

inline constexpr std::uint32_t kInjectMove = kMouseAbsolute | kMouseMove;                     // 0x8001
inline constexpr std::uint32_t kInjectPress = kMouseAbsolute | kMouseMove | kMouseLeftDown;   // 0x8003
inline constexpr std::uint32_t kInjectRelease = kMouseAbsolute | kMouseMove | kMouseLeftUp;   // 0x8005
inline constexpr std::uint32_t kInjectRightPress = kMouseAbsolute | kMouseMove | kMouseRightDown;
inline constexpr std::uint32_t kInjectRightRelease = kMouseAbsolute | kMouseMove | kMouseRightUp;

// What every board's report path reaches: the platform roles of its output and of the end of a run, and
// what the boards share in the process (the library, the capture tables of a run, the buttons' actions).
struct ReportPathWiring {
  Clock& clock;
  PointerOutput& pointer;
  Displays& displays;
  ActionOutputs actions;
  SettingsStore& settings;
  EventLog& log;
  const SharedState& sharedState;
  CaptureTables& capture;
  const LiveButtonActions& buttonActions;
  const std::atomic<std::int32_t>& rightClickAfterMs;  // the teacher's press-and-hold time; kHoldOff: off
};

// One board's report, on that board's reader thread: a button code to the board's buttons, a pen report
// along the pen's phase (pointer/pen_phase.h), to the capture while a run is on, else along the pointer path.
// After a "right-click the next touch" action, the next stroke goes out with the right button.
void HandleReport(const ReportPathWiring& path, BoardContext& board, const BoardReport& report);

}  // namespace velno
