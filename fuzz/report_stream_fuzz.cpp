// The board's byte stream, cut into reads of any length (time-outs and failed reads included), through
// the framer and the whole report path, while the calibration tool starts, steers and stops capture
// runs. Every dispatched report must be valid, the framer must hold a partial report that starts with a
// lead byte, and the board and the left button must stay consistent after each step.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "calibration/calibration_grid.h"
#include "fuzz_driver.h"
#include "calibration/projective_mapping.h"
#include "link/report_framer.h"
#include "report_path.h"

namespace velno::fuzz {
namespace {

// A 9-point calibration whose raw points are the targets halved, and two touch buttons.
void Calibrate(CalibrationBlock& calibration) {
  calibration.adjustType = 9;
  LayoutGrid(calibration);
  for (int p = 0; p < 9; ++p) {
    calibration.rawPoints[p] = {calibration.targetPoints[p].x / 2, calibration.targetPoints[p].y / 2};
  }
  calibration.calibrated = true;
  SolveCellTransforms(calibration);
  calibration.touchButtons.positions[0] = {2000, 2000};
  calibration.touchButtons.positions[1] = {30000, 2000};
  calibration.touchButtons.count = 2;
}

// What the tool does between reads.
void StepTool(const SharedState& sharedState, FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange(0, 5)) {
    case 0: sharedState.SetAdjustType(in.ConsumeIntegral<std::int32_t>()); sharedState.StartAdjust(); break;
    case 1: sharedState.SetAdjustCurrentIndex(in.ConsumeIntegralInRange(0, 70)); break;
    case 2: sharedState.StopAdjust(); break;
    case 3: sharedState.SetButtonAdjustType(in.ConsumeIntegralInRange(0, 70)); sharedState.StartButtonAdjust(); break;
    case 4: sharedState.SetButtonAdjustCurrentIndex(in.ConsumeIntegralInRange(0, 70)); break;
    default: sharedState.StopButtonAdjust(); break;
  }
}

}  // namespace
}  // namespace velno::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velno;
  FuzzedDataProvider in(data, size);
  fuzz::FuzzDriver f;
  BoardContext& board = f.driver.boards[0];
  if (in.ConsumeBool()) fuzz::Calibrate(board.calibration);

  ReportFramer framer;
  while (in.remaining_bytes() > 0) {
    if (in.ConsumeIntegralInRange(0, 15) == 0) {
      fuzz::StepTool(f.driver.sharedState, in);
      continue;
    }
    // One read: what arrives of the bytes asked for (none is a time-out), or a failed read.
    const bool ok = in.ConsumeIntegralInRange(0, 63) != 0;
    const std::vector<std::uint8_t> bytes = in.ConsumeBytes<std::uint8_t>(
        in.ConsumeIntegralInRange<std::uint32_t>(0, BytesWanted(framer)));
    std::copy(bytes.begin(), bytes.end(), ReadTarget(framer));
    if (TakeRead(framer, ok ? static_cast<std::uint32_t>(bytes.size()) : 0u)) {
      VELNO_FUZZ_CHECK(IsValidReport(framer.buffer));
      f.Feed(board, framer.buffer);
    }
    VELNO_FUZZ_CHECK(framer.held < 6);
    VELNO_FUZZ_CHECK(framer.held == 0 || IsLeadByte(framer.buffer[0]));
    fuzz::CheckAll(f);
  }
  return 0;
}
