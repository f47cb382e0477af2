// Measuring where the pen touched each calibration target or touch-button place while a run is active.
// The tool shows target k and waits; the pen rests on it for ten reports within 73 board units of where
// it came down; the driver stores their mean as entry k - 1 and answers with index 0. In a point run a
// slip (slip_rules.h) gets no answer: the target stays and the pen has to be lifted and put down again;
// and when a slip was taken, the driver asks for the target from which the pass is to be done again. No
// answer goes into a run that has ended.
#pragma once

#include <cstdint>

#include "calibration/calibration_block.h"
#include "calibration/capture_tables.h"
#include "calibration/capture_window.h"
#include "platform/shared_state.h"

namespace velno {

inline constexpr std::int32_t kSteadyLimit = 74;  // a sample this far from the anchor on either axis restarts
inline constexpr std::int32_t kSamplesPerMeasurement = 10;

// Both take one pen report of a board during a run: its decoded position, whether the pen was on the
// surface at the board's report before (penWasDown) and whether it is now (penDown). A pen that comes
// down anchors a measurement; one that lifts drops the measurement under way.

enum class PointRunStep { Measuring, Completed, Refused };

// A point run: after the last target the calibration holds the new grid, solved, and index 0 answers
// (Completed). A grid refused as degenerate leaves the calibration as it was, forgets the pass and asks
// for target 1 again (board_facts.h), so the run stays on and the tool starts the pass again (Refused).
PointRunStep CapturePoint(const SharedState& sharedState, CaptureTables& tables, CaptureWindow& window, bool penWasDown,
                          CalibrationBlock& calibration, std::int32_t x, std::int32_t y, bool penDown);
// A touch-button run: after the last place the list holds the new touch buttons and true is returned
// (the caller saves the settings). A place within reach of one recorded earlier in the run is refused,
// and the driver asks for the same button again (board_facts.h), which the tool shows with a note. A
// run stopped before its last place leaves the list as it was.
bool CaptureTouchButton(const SharedState& sharedState, CaptureTables& tables, CaptureWindow& window, bool penWasDown,
                        TouchButtonList& buttons, std::int32_t x, std::int32_t y, bool penDown);

}  // namespace velno
