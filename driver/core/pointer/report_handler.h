// Routing of one validated board report, and the pen path from decoded position to injected pointer input.
#pragma once

#include "board_context.h"
#include "link/board_report.h"
#include "calibration/capture_tables.h"
#include "platform/shared_state.h"

namespace velno {

inline constexpr std::uint32_t kInjectMove = kMouseAbsolute | kMouseMove;                     // 0x8001
inline constexpr std::uint32_t kInjectPress = kMouseAbsolute | kMouseMove | kMouseLeftDown;   // 0x8003
inline constexpr std::uint32_t kInjectRelease = kMouseAbsolute | kMouseMove | kMouseLeftUp;   // 0x8005

class DriverPlatform;

// One board's report, on that board's reader thread. The capture tables are shared by the boards.
void HandleReport(DriverPlatform& platform, const SharedState& sharedState, CaptureTables& capture, BoardContext& board,
                  const BoardReport& report);
// A pen report moves the board's pen phase (pointer/pen_phase.h): to the capture while a run is on, else
// along the pointer path.
void HandlePenReport(DriverPlatform& platform, const SharedState& sharedState, CaptureTables& capture,
                     BoardContext& board, const BoardReport& report);

}  // namespace velno
