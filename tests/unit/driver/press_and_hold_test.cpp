#include "actions/press_and_hold.h"

#include <gtest/gtest.h>

#include "driver_fixture.h"

namespace velno {
namespace {

using testing::Injection;
using testing::kRightClick;
using testing::MouseCall;
using Inputs = std::vector<std::vector<InputRecord>>;

constexpr std::int32_t kX = 12000;
constexpr std::int32_t kY = 7000;
constexpr std::uint64_t kStart = 200'500;  // the hold's timer starts here

class PressAndHold : public testing::DriverFixture {
 protected:
  // The pen comes down at (kX, kY) just before kStart and rests: the press anchors the hold, and the
  // report at kStart, the first to find the pen still, starts its timer.
  void ComeDownAndRest() {
    At(kStart - 40);
    Down(kX, kY, 2);
    At(kStart);
    Down(kX, kY);
  }
  void RestUntil(std::uint64_t ms) {
    At(ms);
    Down(kX, kY);
  }
};

TEST_F(PressAndHold, BusyAt600MsAndARightClickBeforeTheLeftReleaseAfter10s) {
  ComeDownAndRest();
  RestUntil(kStart + 599);
  EXPECT_EQ(platform.output.busyCursorCalls, 0);
  RestUntil(kStart + 600);
  EXPECT_EQ(platform.output.busyCursorCalls, 1);
  RestUntil(kStart + 5000);
  RestUntil(kStart + 10'000);
  EXPECT_EQ(platform.output.busyCursorCalls, 1);
  EXPECT_TRUE(platform.output.inputs.empty()) << "the click waits for the lift";
  EXPECT_TRUE(platform.output.restoredCursors.empty());

  platform.output.injectionOrder.clear();
  Up(kX, kY);
  EXPECT_EQ(platform.output.inputs, Inputs{kRightClick});
  EXPECT_EQ(platform.output.restoredCursors, std::vector<CursorHandle>{static_cast<CursorHandle>(0xC0)});
  EXPECT_EQ(platform.output.injectionOrder, (std::vector<Injection>{Injection::Input, Injection::Mouse}));
  EXPECT_EQ(platform.output.mouse.back(), (MouseCall{0x8005, kX * 16, kY * 16}));
}

TEST_F(PressAndHold, ALiftBefore10sGivesNoClickAndLeavesTheBusyCursor) {
  ComeDownAndRest();
  RestUntil(kStart + 600);
  RestUntil(kStart + 9999);
  Up(kX, kY);
  EXPECT_TRUE(platform.output.inputs.empty());
  EXPECT_TRUE(platform.output.restoredCursors.empty());

  // The lift ended the hold: a new stroke 20 s later starts from the beginning.
  At(kStart + 30'000);
  Down(kX, kY, 3);
  Up(kX, kY);
  EXPECT_TRUE(platform.output.inputs.empty());
}

TEST_F(PressAndHold, DriftIsMeasuredFromTheAnchor) {
  // The window holds six samples at the anchor; one sample 84, 6 (or 60, 60) off moves the smoothed
  // position by a sixth of that: a squared drift of 197 (the nearest below 200 that whole units reach)
  // or of exactly 200.
  At(kStart - 40);
  Down(kX, kY, 2);
  At(kStart);
  Down(kX, kY, 5);
  At(kStart + 100);
  Down(kX + 84, kY + 6);
  RestUntil(kStart + 600);
  EXPECT_EQ(platform.output.busyCursorCalls, 1) << "197 keeps the hold";
  Up(kX, kY);

  platform.output.busyCursorCalls = 0;
  At(kStart + 20'000);
  Down(kX, kY, 2);
  Down(kX, kY, 5);
  At(kStart + 20'100);
  Down(kX + 60, kY + 60);  // 200: anchored anew where the pen now is
  RestUntil(kStart + 20'600);  // the first still report at the new anchor starts the timer
  RestUntil(kStart + 21'199);
  EXPECT_EQ(platform.output.busyCursorCalls, 0);
  RestUntil(kStart + 21'200);
  EXPECT_EQ(platform.output.busyCursorCalls, 1);
}

TEST_F(PressAndHold, MovingAwayWhileBusyRestartsWithoutRestoringTheCursor) {
  ComeDownAndRest();
  RestUntil(kStart + 700);
  ASSERT_EQ(platform.output.busyCursorCalls, 1);

  // Six reports fill the smoothing window at the new place; each one moved the smoothed position on.
  At(kStart + 800);
  Down(kX + 900, kY, 6);
  EXPECT_TRUE(platform.output.restoredCursors.empty());
  At(kStart + 900);
  Down(kX + 900, kY);  // timer starts
  At(kStart + 10'800);
  Down(kX + 900, kY);  // 9900 ms since the restart: busy again, not armed
  EXPECT_EQ(platform.output.busyCursorCalls, 2);
  Up(kX + 900, kY);
  EXPECT_TRUE(platform.output.inputs.empty());
  EXPECT_TRUE(platform.output.restoredCursors.empty());
}

// The teacher's setting reaches the pen at once: a shorter time arms the click sooner, and off gives
// neither the busy cursor nor the click, and puts back a busy cursor shown when it was turned off.
TEST_F(PressAndHold, TheTeachersTimeAndOff) {
  const struct {
    std::int32_t rightClickAfterMs;
    std::uint64_t liftAt;  // since the timer started
    int busyCursors;
    Inputs inputs;
  } cases[] = {
      {2000, 1999, 1, {}},
      {2000, 2000, 1, {kRightClick}},
      {1000, 1000, 1, {kRightClick}},
      {kHoldOff, 10'000, 0, {}},
  };
  const auto clear = [this] {
    platform.output.busyCursorCalls = 0;
    platform.output.inputs.clear();
    platform.output.restoredCursors.clear();
  };
  for (const auto& c : cases) {
    clear();
    driver.settings.rightClickAfterMs = c.rightClickAfterMs;
    ComeDownAndRest();
    RestUntil(kStart + 600);
    RestUntil(kStart + c.liftAt);
    Up(kX, kY);
    EXPECT_EQ(platform.output.busyCursorCalls, c.busyCursors) << c.rightClickAfterMs << " ms, lifted at " << c.liftAt;
    EXPECT_EQ(platform.output.inputs, c.inputs) << c.rightClickAfterMs << " ms, lifted at " << c.liftAt;
  }

  driver.settings.rightClickAfterMs = 10'000;
  clear();
  ComeDownAndRest();
  RestUntil(kStart + 700);
  driver.settings.rightClickAfterMs = kHoldOff;
  RestUntil(kStart + 800);
  EXPECT_EQ(platform.output.restoredCursors, std::vector<CursorHandle>{testing::RecordingOutput::kBusyCursorReplaced});
}

}  // namespace
}  // namespace velno
