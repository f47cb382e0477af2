// A driver on the platform fakes for one fuzz input, and the invariants that every target checks
// after each step. A broken invariant prints its condition and aborts, which libFuzzer reports as a
// crash with the input that caused it.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "board_context.h"
#include "driver.h"
#include "fake_velno.h"
#include "fake_platform.h"
#include "report_path.h"

#define VELNO_FUZZ_CHECK(condition)                                              \
  do {                                                                           \
    if (!(condition)) {                                                          \
      std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                              \
    }                                                                            \
  } while (0)

namespace velno::fuzz {

struct FuzzDriver {
  FuzzDriver() {
    testing::ResetFakeVelno();
    driver.sharedState = testing::FakeSharedState();
    driver.sharedState.SetGestureBrush(2500);
    driver.sharedState.SetGestureErase(25000);
  }

  void Feed(BoardContext& board, const BoardReport& report) {
    HandleReport(driver.reportPath, board, report);
  }

  testing::FakePlatform platform;
  Driver driver{platform.Roles()};
  bool leftHeld = false;         // as the injected calls so far leave the left button
  std::size_t mouseChecked = 0;  // calls of platform.output.mouse already followed
};

// The grid and the touch-button list stay within their tables; a calibration maps through finite
// coefficients.
inline void CheckCalibration(const CalibrationBlock& calibration) {
  VELNO_FUZZ_CHECK(calibration.cellCount >= 0 && calibration.cellCount <= 16);
  VELNO_FUZZ_CHECK(calibration.adjustType <= 25);
  VELNO_FUZZ_CHECK(calibration.touchButtons.count <= static_cast<std::uint32_t>(kMaxPoints));
  if (calibration.calibrated) {
    for (std::int32_t q = 0; q < calibration.cellCount; ++q) {
      for (const auto& table : calibration.cellCoefficients) VELNO_FUZZ_CHECK(std::isfinite(table[q]));
    }
  }
}

// The smoothing window and ring, the capture and gesture counts and the pressed touch button stay
// within their tables; the smoothing holds samples only while the pen is down.
inline void CheckBoard(const BoardContext& board) {
  VELNO_FUZZ_CHECK(board.smoothing.sampleCount >= 0 && board.smoothing.sampleCount <= kSmoothingWindow);
  VELNO_FUZZ_CHECK(board.pointer.phase == PenPhase::Down || board.smoothing.sampleCount == 0);
  VELNO_FUZZ_CHECK(board.smoothing.ringPos >= 0 && board.smoothing.ringPos < kSmoothingRingSize);
  VELNO_FUZZ_CHECK(board.capture.count >= 0 && board.capture.count < 10);
  VELNO_FUZZ_CHECK(board.gesture.sampleCount >= 0 && board.gesture.sampleCount <= kGestureSamples);
  const TouchButtonPress& press = board.buttons.touchPress;
  if (press.pressed) {
    VELNO_FUZZ_CHECK(press.button >= 0 &&
                     static_cast<std::uint32_t>(press.button) < board.calibration.touchButtons.count);
  }
  CheckCalibration(board.calibration);
}

// Every left release follows a press of its own, and no press comes while the button is down.
inline void CheckLeftButton(FuzzDriver& f) {
  for (; f.mouseChecked < f.platform.output.mouse.size(); ++f.mouseChecked) {
    const std::uint32_t flags = f.platform.output.mouse[f.mouseChecked].flags;
    if (flags & kMouseLeftDown) {
      VELNO_FUZZ_CHECK(!f.leftHeld);
      f.leftHeld = true;
    }
    if (flags & kMouseLeftUp) {
      VELNO_FUZZ_CHECK(f.leftHeld);
      f.leftHeld = false;
    }
  }
}

// The shown cursor goes back at most once for each time it was made busy.
inline void CheckCursor(const FuzzDriver& f) {
  VELNO_FUZZ_CHECK(f.platform.output.restoredCursors.size() <= static_cast<std::size_t>(f.platform.output.busyCursorCalls));
}

inline void CheckAll(FuzzDriver& f) {
  for (const BoardContext& board : f.driver.boards) CheckBoard(board);
  CheckLeftButton(f);
  CheckCursor(f);
}

}  // namespace velno::fuzz
