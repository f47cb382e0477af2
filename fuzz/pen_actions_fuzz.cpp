// Sequences of board reports and clock steps through the board buttons, touch buttons, press-and-hold
// and gestures, with gesture recognition switched on and off and capture runs coming and going.
// Invariants: the board's state stays within its tables, every left release follows its own press,
// the busy cursor is put back no more often than it was shown.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>

#include "board_reports.h"
#include "fuzz_driver.h"
#include "report_path.h"

namespace velno::fuzz {
namespace {

// Lead bytes that mean something, and sometimes any byte.
std::uint8_t Lead(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange(0, 7)) {
    case 0: return static_cast<std::uint8_t>(0xA1 + in.ConsumeIntegralInRange(0, 15));
    case 1: return static_cast<std::uint8_t>(0xC1 + in.ConsumeIntegralInRange(0, 15));
    case 2: return in.ConsumeIntegral<std::uint8_t>();
    case 3: return kPenUpLead;
    default: return kPenDownLead;
  }
}

// Positions near a few places, so that strokes stay still, touch buttons are hit and boxes stay small.
std::int32_t Near(FuzzedDataProvider& in, std::int32_t around) {
  return in.ConsumeBool() ? around + in.ConsumeIntegralInRange(-60, 60) : in.ConsumeIntegralInRange(0, 32767);
}

}  // namespace
}  // namespace velno::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velno;
  FuzzedDataProvider in(data, size);
  fuzz::FuzzDriver f;
  BoardContext& board = f.driver.boards[0];
  const SharedState& sharedState = f.driver.sharedState;
  const int buttons = in.ConsumeIntegralInRange(0, 4);
  for (int i = 0; i < buttons; ++i) board.calibration.touchButtons.positions[i] = {4000 * (i + 1), 4000};
  board.calibration.touchButtons.count = static_cast<std::uint32_t>(buttons);
  f.platform.clock.nowMs = in.ConsumeIntegral<std::uint32_t>();

  while (in.remaining_bytes() > 0) {
    switch (in.ConsumeIntegralInRange(0, 11)) {
      case 0: f.platform.clock.nowMs += in.ConsumeIntegralInRange(0, 12000); break;
      case 1: sharedState.IsUsingGesture(in.ConsumeIntegralInRange(0, 1)); break;
      case 2: sharedState.SetGestureBrush(in.ConsumeIntegral<std::int32_t>()); break;
      case 3: in.ConsumeBool() ? sharedState.StartAdjust() : sharedState.StopAdjust(); break;
      default: {
        const std::int32_t around = 4000 * in.ConsumeIntegralInRange(1, 5);
        f.Feed(board, testing::MakeReport(fuzz::Lead(in), fuzz::Near(in, around), fuzz::Near(in, 4000)));
        f.platform.clock.nowMs += in.ConsumeIntegralInRange(0, 15);
        break;
      }
    }
    fuzz::CheckAll(f);
  }
  return 0;
}
