#include "calibration/calibration_capture.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <optional>

#include "actions/touch_buttons.h"
#include "board_facts.h"
#include "calibration/calibration_grid.h"
#include "calibration/projective_mapping.h"

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
// since the last answer), above 64, or while it asks for a target again has no entry: it is dropped
// unanswered and the tool stays where it is. Since completion needs the index to equal the count, a count
// above 64 never completes and never reaches the 64-entry tables of the board.
bool HasEntry(std::int32_t index) { return index >= 1 && index <= kMaxPoints; }

// One run's index word in the library.
struct RunIndex {
  SharedState::Get isActive;
  SharedState::Set setIndex;
  SharedState::Get stop;
};

RunIndex PointRun(const SharedState& sharedState) {
  return {sharedState.IsAdjusting, sharedState.SetAdjustCurrentIndex, sharedState.StopAdjust};
}

// Answers the tool, unless the run has ended meanwhile: the library marks a run active on any index it
// is given, so an answer into an ended run would start it again with nobody to finish it, and the pen
// would stay with the capture. A stop that comes between the check and the answer leaves the previous
// index 0 (a target the driver answers is never 0): the stop is made again.
void Answer(const RunIndex& run, std::int32_t index) {
  if (run.isActive() == 0) return;
  if (run.setIndex(index) == 0) run.stop();
}

// True when `place` lies where one of the first `recorded` places of the run would reach: the reach of
// the two buttons would overlap, and a touch there could press the one recorded first.
bool OverlapsRecordedPlace(const CaptureTables& tables, std::int32_t recorded, BoardPoint place) {
  return std::any_of(tables.buttons.begin(), tables.buttons.begin() + recorded, [&](BoardPoint other) {
    const std::int64_t dx = static_cast<std::int64_t>(place.x) - other.x;
    const std::int64_t dy = static_cast<std::int64_t>(place.y) - other.y;
    return dx * dx + dy * dy < 4 * kTouchButtonReachSquared;
  });
}

// Stores a touch-button place as entry k - 1 for the button run's current index k and answers it with
// index 0. A place already recorded in this run is refused: nothing is stored, and the driver asks for
// button k again so the tool can say why its button stays. When k is the run's count, entries 0 .. k - 1
// are copied to `destination` and true is returned.
bool StoreButtonPlace(const SharedState& sharedState, CaptureTables& tables, BoardPoint mean, std::uint32_t count,
                      std::array<BoardPoint, kMaxPoints>& destination) {
  std::lock_guard lock(tables.lock);
  const std::int32_t index = sharedState.GetButtonAdjustCurrentIndex();
  if (!HasEntry(index)) return false;
  const RunIndex run{sharedState.IsButtonAdjusting, sharedState.SetButtonAdjustCurrentIndex,
                     sharedState.StopButtonAdjust};
  // The tool shows the buttons in order, so entries 0 .. k - 2 are this run's.
  if (OverlapsRecordedPlace(tables, index - 1, mean)) {
    Answer(run, AskAgainIndex(static_cast<std::uint32_t>(index)));
    return false;
  }
  const bool last = static_cast<std::uint32_t>(index) == count;
  tables.buttons[index - 1] = mean;
  if (last) std::copy_n(tables.buttons.begin(), index, destination.begin());
  Answer(run, 0);
  return last;
}

// The end of a pass: the new calibration is made aside, and the board keeps the one it has unless the new
// grid solves. Answers 0 when the run is over, or asks for target 1 again when the grid was refused.
PointRunStep CompletePass(const RunIndex& run, const PassPoints& taken, std::uint32_t pointCount,
                          std::int32_t screenFlag, CalibrationBlock& calibration) {
  CalibrationBlock candidate = calibration;
  std::copy_n(taken.points.begin(), pointCount, candidate.rawPoints.begin());
  candidate.adjustType = pointCount;
  if (LayoutGrid(candidate) != 0) {
    // Not a grid this driver knows: the run ends with nothing to calibrate with.
    Answer(run, 0);
    return PointRunStep::Measuring;
  }
  candidate.calibrated = true;
  SolveCellTransforms(candidate);
  if (!candidate.calibrated) {
    // Refused as degenerate: the tool shows target 1 again and the pass starts over.
    Answer(run, AskAgainIndex(1));
    return PointRunStep::Refused;
  }
  candidate.extendScreenFlag = screenFlag;
  calibration = candidate;
  Answer(run, 0);
  return PointRunStep::Completed;
}

}  // namespace

PointRunStep CapturePoint(const SharedState& sharedState, CaptureTables& tables, CaptureWindow& window, bool penWasDown,
                          CalibrationBlock& calibration, std::int32_t x, std::int32_t y, bool penDown) {
  const auto [pointCount, screenFlag] = DecodeAdjustType(sharedState.GetAdjustType());

  const std::optional<BoardPoint> mean = TakeSample(window, penWasDown, x, y, penDown);
  if (!mean) return PointRunStep::Measuring;
  // Both boards' readers may complete measurements at once: one at a time reads the index, judges and
  // answers, so the other finds the index answered and drops its measurement.
  std::lock_guard lock(tables.lock);
  const std::int32_t index = sharedState.GetAdjustCurrentIndex();
  if (!HasEntry(index)) return PointRunStep::Measuring;
  if (index == 1) BeginPass(tables.pass);
  const RunIndex run = PointRun(sharedState);
  const PassAnswer answer = JudgeMeasurement(pointCount, tables.pass, index, *mean);
  switch (answer.step) {
    case PassStep::Refuse:
      return PointRunStep::Measuring;
    case PassStep::AskAgain:
      Answer(run, AskAgainIndex(static_cast<std::uint32_t>(answer.target)));
      return PointRunStep::Measuring;
    case PassStep::Take:
      break;
  }
  if (static_cast<std::uint32_t>(index) != pointCount) {
    Answer(run, 0);
    return PointRunStep::Measuring;
  }
  // The table keeps the points; the pass is over.
  const PassPoints taken = tables.pass.taken;
  BeginPass(tables.pass);
  return CompletePass(run, taken, pointCount, screenFlag, calibration);
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
