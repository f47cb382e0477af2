#include "calibration/calibration_capture.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <optional>

#include "board_facts.h"
#include "calibration/calibration_grid.h"
#include "calibration/projective_mapping.h"
#include "calibration/slip_rules.h"

namespace velno {
namespace {

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
std::optional<BoardPoint> TakeSample(CaptureWindow& window, bool penWasDown, std::int32_t x, std::int32_t y,
                                     bool penDown) {
  if (penDown != penWasDown) {
    ClearSums(window);
    if (penDown) {
      // The pen-down position anchors the measurement but is not summed.
      window.active = true;
      window.anchorX = x;
      window.anchorY = y;
    } else {
      // Lifted before ten samples: the measurement is dropped.
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

// The tables hold indices 1 to 64. A measurement taken while the index is 0 (the tool has not moved on
// since the last acknowledgement) or above 64 has no entry: it is dropped without an acknowledgement and
// the tool stays where it is. Since completion needs the index to equal the count, a count above 64 never
// completes and never reaches the 64-entry tables of the board.
bool HasEntry(std::int32_t index) { return index >= 1 && index <= kMaxPoints; }

enum class PointStored { No, Acknowledged, LastOfPass };

// Stores a measurement of the point run as entry k - 1 for its current index k, unless it is a slip,
// which is dropped unanswered. A stored measurement before the last is acknowledged with index 0; for the
// last (k equals the count) the pass's points are copied to `pass` and the caller answers.
PointStored StorePoint(const SharedState& sharedState, CaptureTables& tables, BoardPoint mean, std::uint32_t count,
                       std::array<BoardPoint, kMaxPoints>& pass) {
  const std::int32_t index = sharedState.GetAdjustCurrentIndex();
  if (!HasEntry(index)) return PointStored::No;
  const bool last = static_cast<std::uint32_t>(index) == count;
  {
    // Both boards' readers may complete measurements at once; the check and the copy must see whole entries.
    std::lock_guard lock(tables.lock);
    // Target 1 begins a pass: what an earlier pass measured is not compared with.
    if (index == 1) tables.pointsMeasured.reset();
    if (IsSlip(count, tables.points, tables.pointsMeasured, index, mean)) return PointStored::No;
    tables.points[index - 1] = mean;
    tables.pointsMeasured.set(index - 1);
    if (last) {
      std::copy_n(tables.points.begin(), index, pass.begin());
      tables.pointsMeasured.reset();
    }
  }
  if (last) return PointStored::LastOfPass;
  sharedState.SetAdjustCurrentIndex(0);
  return PointStored::Acknowledged;
}

// Stores a touch-button place as entry k - 1 for the button run's current index k and acknowledges it
// with index 0. When k is the run's count, entries 0 .. k - 1 are copied to `destination` and true is
// returned.
bool StoreButtonPlace(const SharedState& sharedState, CaptureTables& tables, BoardPoint mean, std::uint32_t count,
                      std::array<BoardPoint, kMaxPoints>& destination) {
  const std::int32_t index = sharedState.GetButtonAdjustCurrentIndex();
  if (!HasEntry(index)) return false;
  const bool last = static_cast<std::uint32_t>(index) == count;
  {
    std::lock_guard lock(tables.lock);
    tables.buttons[index - 1] = mean;
    if (last) std::copy_n(tables.buttons.begin(), index, destination.begin());
  }
  sharedState.SetButtonAdjustCurrentIndex(0);
  return last;
}

}  // namespace

PointRunStep CapturePoint(const SharedState& sharedState, CaptureTables& tables, CaptureWindow& window, bool penWasDown,
                          CalibrationBlock& calibration, std::int32_t x, std::int32_t y, bool penDown) {
  const auto [pointCount, screenFlag] = DecodeAdjustType(sharedState.GetAdjustType());

  const std::optional<BoardPoint> mean = TakeSample(window, penWasDown, x, y, penDown);
  if (!mean) return PointRunStep::Measuring;
  std::array<BoardPoint, kMaxPoints> pass;
  if (StorePoint(sharedState, tables, *mean, pointCount, pass) != PointStored::LastOfPass) return PointRunStep::Measuring;

  // The new calibration is made aside: the board keeps the one it has unless the new grid solves.
  CalibrationBlock candidate = calibration;
  std::copy_n(pass.begin(), pointCount, candidate.rawPoints.begin());
  candidate.adjustType = pointCount;
  if (LayoutGrid(candidate) != 0) {
    // Not a grid this driver knows: the run ends with nothing to calibrate with.
    sharedState.SetAdjustCurrentIndex(0);
    return PointRunStep::Measuring;
  }
  candidate.calibrated = true;
  SolveCellTransforms(candidate);
  if (!candidate.calibrated) {
    // Refused as degenerate: the tool, waiting for 0, sees target 1 again and starts the pass over.
    sharedState.SetAdjustCurrentIndex(1);
    return PointRunStep::Refused;
  }
  candidate.extendScreenFlag = screenFlag;
  calibration = candidate;
  sharedState.SetAdjustCurrentIndex(0);
  return PointRunStep::Completed;
}

bool CaptureTouchButton(const SharedState& sharedState, CaptureTables& tables, CaptureWindow& window, bool penWasDown,
                        TouchButtonList& buttons, std::int32_t x, std::int32_t y, bool penDown) {
  const auto buttonCount = static_cast<std::uint32_t>(sharedState.GetButtonAdjustType());

  const std::optional<BoardPoint> mean = TakeSample(window, penWasDown, x, y, penDown);
  if (!mean) return false;
  if (!StoreButtonPlace(sharedState, tables, *mean, buttonCount, buttons.positions)) return false;

  buttons.count = buttonCount;
  return true;
}

}  // namespace velno
