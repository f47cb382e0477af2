// Settings contents of any kind (every key the driver reads, with any value text) through load, solve,
// map and a save that is loaded again. Invariants: the board comes up in a state it can work in, a
// calibration maps with finite coefficients from a cell that exists, and the save neither loses a
// calibration nor claims one the board does not have.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "board_reports.h"
#include "calibration/calibration_grid.h"
#include "fuzz_driver.h"
#include "calibration/projective_mapping.h"
#include "report_path.h"
#include "calibration/settings_file.h"

namespace velno::fuzz {
namespace {

// The names the driver reads: the single keys, then "Point01-x" .. "Button64-y".
std::wstring KeyName(std::uint32_t pick) {
  static const wchar_t* const kSingle[] = {L"gesturebrush", L"gestureerase", L"adjusttype", L"extendscreenflag",
                                           L"num_buttons"};
  if (pick < 5) return kSingle[pick];
  pick -= 5;
  const std::uint32_t number = pick / 2 % 64 + 1;
  std::wstring key = pick / 128 == 0 ? L"point" : L"button";
  if (number < 10) key += L'0';
  return key + std::to_wstring(number) + L'-' + (pick % 2 == 0 ? L'x' : L'y');
}

// A value as the driver reads it: the system's profile call has already turned the file's text into a
// 32-bit number (how it does that is checked under Wine against the real call), so any number, mostly near
// the ranges that matter.
std::wstring ValueText(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange(0, 2)) {
    case 0: return std::to_wstring(in.ConsumeIntegral<std::int32_t>());
    case 1: return std::to_wstring(in.ConsumeIntegralInRange(0, 32767));
    default: return std::to_wstring(in.ConsumeIntegralInRange(0, 30));
  }
}

}  // namespace
}  // namespace velno::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velno;
  FuzzedDataProvider in(data, size);
  fuzz::FuzzDriver f;
  auto& section = f.platform.settings.values[L"adjust-\x4F43m"];
  const int keys = in.ConsumeIntegralInRange(0, 80);
  for (int i = 0; i < keys && in.remaining_bytes() > 0; ++i) {
    section[fuzz::KeyName(in.ConsumeIntegralInRange<std::uint32_t>(0, 5 + 256 - 1))] = fuzz::ValueText(in);
  }

  BoardContext& board = f.driver.boards[0];
  CalibrationBlock& calibration = board.calibration;
  LoadSettings(f.platform.settings, f.driver.sharedState, calibration);
  SolveCellTransforms(calibration);
  fuzz::CheckAll(f);
  if (calibration.calibrated) {
    for (std::int32_t x = 0; x <= 32767; x += 4681) {
      for (std::int32_t y = 0; y <= 32767; y += 4681) {
        const std::int32_t q = FindNearestCell(calibration, x, y);
        VELNO_FUZZ_CHECK(q >= 0 && q < calibration.cellCount);
        MapPoint(calibration, x, y);
      }
    }
  }
  // A stroke across the board goes through the mapping to the pointer.
  for (std::int32_t i = 0; i <= 8; ++i) f.Feed(board, testing::PenDown(i * 4000, 32767 - i * 4000));
  f.Feed(board, testing::PenUp(32000, 0));
  fuzz::CheckAll(f);

  // Saved and loaded again, the board has exactly the calibration it had.
  SaveSettings(f.platform.settings, f.driver.sharedState, calibration);
  CalibrationBlock reloaded;
  LoadSettings(f.platform.settings, f.driver.sharedState, reloaded);
  SolveCellTransforms(reloaded);
  VELNO_FUZZ_CHECK(reloaded.calibrated == calibration.calibrated);
  if (calibration.calibrated) {
    VELNO_FUZZ_CHECK(reloaded.adjustType == calibration.adjustType);
    for (std::uint32_t p = 0; p < calibration.adjustType; ++p) {
      VELNO_FUZZ_CHECK(reloaded.rawPoints[p] == calibration.rawPoints[p]);
    }
  }
  return 0;
}
