// The event log's account of a finished calibration run: saved with its points and screen, or refused.
#pragma once

#include "calibration_block.h"
#include "driver_platform.h"

namespace velno {

// Reports the run that just filled `calibration`: saved when its transforms map the pen, refused when
// its points admit none (the file keeps the previous calibration).
void ReportCalibrationOutcome(DriverPlatform& platform, const CalibrationBlock& calibration);

}  // namespace velno
