// Measuring where the pen touched each calibration target or touch-button place while a run is active.
// The tool shows target k and waits; the pen rests on it for ten reports within 73 board units of where
// it came down; the driver stores their mean as entry k - 1 and answers with index 0. In a point run a
// slip (slip_rules.h) gets no answer: the target stays and the pen has to be lifted and put down again.
#pragma once

#include <cstdint>

#include "calibration_block.h"
#include "capture_tables.h"
#include "capture_window.h"
#include "velno_library.h"

namespace velno {

inline constexpr std::int32_t kSteadyLimit = 74;  // a sample this far from the anchor on either axis restarts
inline constexpr std::int32_t kSamplesPerMeasurement = 10;

// Both take one pen report of a board during a run: its decoded position and lead byte. penUp is the
// board's pen state, which the run keeps while it has the pen. They return true when the report
// completed the run and the board's record changed: the caller saves the settings.

enum class PointRunStep { Measuring, Completed, Refused };

// A point run: after the last target the calibration holds the new grid, solved, and index 0 answers
// (Completed). A grid refused as degenerate leaves the calibration as it was, forgets the pass and answers
// with index 1, so the run stays on and the tool starts the pass again (Refused).
PointRunStep CapturePoint(const VelnoLibrary& velno, CaptureTables& tables, CaptureWindow& window, bool& penUp,
                          CalibrationBlock& calibration, std::int32_t x, std::int32_t y, std::uint8_t lead);
// A touch-button run: after the last place the list holds the new touch buttons.
bool CaptureTouchButton(const VelnoLibrary& velno, CaptureTables& tables, CaptureWindow& window, bool& penUp,
                        TouchButtonList& buttons, std::int32_t x, std::int32_t y, std::uint8_t lead);

}  // namespace velno
