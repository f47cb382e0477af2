#include "calibration_events.h"

#include <string>

namespace velno {
namespace {

std::wstring ScreenWords(std::int32_t extendScreenFlag) {
  switch (extendScreenFlag) {
    case 1:
      return L"the second screen, right of the main one";
    case 2:
      return L"the second screen, below the main one";
    default:
      return L"the main screen";
  }
}

}  // namespace

void ReportCalibrationOutcome(DriverPlatform& platform, const CalibrationBlock& calibration) {
  platform.WriteEventLog(calibration.calibrated ? LogEvent::CalibrationSaved : LogEvent::CalibrationRefused,
                         {std::to_wstring(calibration.adjustType), ScreenWords(calibration.extendScreenFlag)});
}

}  // namespace velno
