// The event log's account of a finished calibration run: saved with its points and screen, or refused.
#pragma once

#include <cstdint>

#include "platform/event_log.h"

namespace velno {

// Reports a finished pass of the point run announced with `adjustType` (the point count, the screen flag
// in the high 16 bits): saved, or refused because its points admit no calibration (the previous one is
// kept, in memory and in the file).
void ReportCalibrationOutcome(EventLog& log, bool saved, std::int32_t adjustType);

}  // namespace velno
