#include "calibration/calibration_events.h"

#include <string>

#include "board_facts.h"

namespace velno {
namespace {

std::wstring ScreenWords(std::int32_t extendScreenFlag) {
  switch (extendScreenFlag) {
    case 1:
      return L"the second screen, beside the main one";
    case 2:
      return L"the second screen, above or below the main one";
    default:
      return L"the main screen";
  }
}

}  // namespace

void ReportCalibrationOutcome(EventLog& log, bool saved, std::int32_t adjustType) {
  const AdjustType announced = DecodeAdjustType(adjustType);
  log.WriteEventLog(saved ? LogEvent::CalibrationSaved : LogEvent::CalibrationRefused,
                         {std::to_wstring(announced.pointCount), ScreenWords(announced.screenFlag)});
}

}  // namespace velno
