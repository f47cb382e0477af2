#include "calibration_capture.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <optional>

#include "board_report.h"
#include "calibration_grid.h"
#include "projective_mapping.h"

namespace velno {
namespace {

// Which table and which index word of the library a run uses.
struct CaptureRun {
  std::array<BoardPoint, kMaxPoints> CaptureTables::*table;
  VelnoLibrary::Get currentIndex;
  VelnoLibrary::Set setCurrentIndex;
};

bool IsSteady(std::int32_t anchor, std::int32_t sample) {
  return std::llabs(static_cast<long long>(anchor) - sample) < kSteadyLimit;
}

void ClearSums(CaptureWindow& window) {
  window.sumX = 0;
  window.sumY = 0;
  window.count = 0;
}

// One pen report of either run: pen-down, pen-up or a sample. Returns the mean of ten steady samples
// when this report completes them.
std::optional<BoardPoint> TakeSample(CaptureWindow& window, bool& penUp, std::int32_t x, std::int32_t y,
                                     std::uint8_t lead) {
  const bool penDownReport = lead == kPenDownLead;
  const bool penStays = penDownReport != penUp;
  if (!penStays) {
    ClearSums(window);
    if (penDownReport) {
      // The pen-down position anchors the measurement but is not summed.
      penUp = false;
      window.active = true;
      window.anchorX = x;
      window.anchorY = y;
    } else {
      // Lifted before ten samples: the measurement is dropped.
      penUp = true;
      window.active = false;
    }
    return std::nullopt;
  }
  if (!window.active || !IsSteady(window.anchorX, x) || !IsSteady(window.anchorY, y)) {
    // The report that restarts becomes the new anchor without being summed. With no measurement
    // running (pen lifted, or resting after one) every report only moves the anchor.
    ClearSums(window);
    window.anchorX = x;
    window.anchorY = y;
    return std::nullopt;
  }
  // The anchor stays, so all samples of a measurement lie within 73 units of one point.
  window.sumX += x;
  window.sumY += y;
  if (++window.count < kSamplesPerMeasurement) return std::nullopt;
  // The pen has to be lifted and put down again before the next measurement.
  window.active = false;
  window.count = 0;
  return BoardPoint{window.sumX / kSamplesPerMeasurement, window.sumY / kSamplesPerMeasurement};
}

// Stores the measurement as entry k - 1 for the run's current index k and acknowledges it with index 0.
// When k is the run's count, entries 0 .. k - 1 are copied to `destination` and true is returned.
//
// The tables hold indices 1 to 64. A measurement taken while the index is 0 (the tool has not moved on
// since the last acknowledgement) or above 64 has no entry: it is dropped without an acknowledgement and
// the tool stays where it is. Since completion needs k to equal the count, a count above 64 never
// completes and never reaches the 64-entry tables of the board.
bool StoreMeasurement(CaptureTables& tables, const CaptureRun& run, BoardPoint mean, std::uint32_t count,
                      std::array<BoardPoint, kMaxPoints>& destination) {
  const std::int32_t index = run.currentIndex();
  if (index < 1 || index > kMaxPoints) return false;
  const bool last = static_cast<std::uint32_t>(index) == count;
  {
    // Both boards' readers may complete measurements at once; the copy must see whole entries.
    std::lock_guard lock(tables.lock);
    auto& table = tables.*run.table;
    table[index - 1] = mean;
    if (last) std::copy_n(table.begin(), index, destination.begin());
  }
  run.setCurrentIndex(0);
  return last;
}

}  // namespace

bool CapturePoint(const VelnoLibrary& velno, CaptureTables& tables, CaptureWindow& window, bool& penUp,
                  CalibrationBlock& calibration, std::int32_t x, std::int32_t y, std::uint8_t lead) {
  const auto adjustType = static_cast<std::uint32_t>(velno.GetAdjustType());
  const std::uint32_t pointCount = adjustType & 0xFFFF;
  const auto screenFlag = static_cast<std::int32_t>(adjustType >> 16);

  const std::optional<BoardPoint> mean = TakeSample(window, penUp, x, y, lead);
  if (!mean) return false;
  const CaptureRun run{&CaptureTables::points, velno.GetAdjustCurrentIndex, velno.SetAdjustCurrentIndex};
  if (!StoreMeasurement(tables, run, *mean, pointCount, calibration.rawPoints)) return false;

  calibration.adjustType = pointCount;
  if (LayoutGrid(calibration) != 0) {
    // Not a grid this driver knows: the board is uncalibrated, the points stay, nothing is saved.
    calibration.calibrated = false;
    return false;
  }
  calibration.calibrated = true;
  SolveCellTransforms(calibration);
  calibration.extendScreenFlag = screenFlag;
  return true;
}

bool CaptureTouchButton(const VelnoLibrary& velno, CaptureTables& tables, CaptureWindow& window, bool& penUp,
                        TouchButtonList& buttons, std::int32_t x, std::int32_t y, std::uint8_t lead) {
  const auto buttonCount = static_cast<std::uint32_t>(velno.GetButtonAdjustType());

  const std::optional<BoardPoint> mean = TakeSample(window, penUp, x, y, lead);
  if (!mean) return false;
  const CaptureRun run{&CaptureTables::buttons, velno.GetButtonAdjustCurrentIndex, velno.SetButtonAdjustCurrentIndex};
  if (!StoreMeasurement(tables, run, *mean, buttonCount, buttons.positions)) return false;

  buttons.count = buttonCount;
  return true;
}

}  // namespace velno
