#include "actions/gestures.h"

#include <gtest/gtest.h>

#include "driver_fixture.h"

namespace velno {
namespace {

using testing::CtrlShift;
using testing::Injection;
using testing::kWinD;
using Inputs = std::vector<std::vector<InputRecord>>;

const std::vector<InputRecord> kSmall = CtrlShift(0x85);   // F22, entry 37
const std::vector<InputRecord> kMedium = CtrlShift(0x86);  // F23, entry 38
const std::vector<InputRecord> kLarge = CtrlShift(0x87);   // F24, entry 39

class Gestures : public testing::DriverFixture {
 protected:
  void SetUp() override {
    DriverFixture::SetUp();
    driver.sharedState.IsUsingGesture(1);
  }

  // The warm-up report, then `samples` samples whose box is width x height with its corner at
  // (1000, 1000): the corner first, the far corner second, the rest at the corner.
  void Stroke(std::int32_t width, std::int32_t height, int samples, int slot = 0) {
    Down(1000, 1000, 1, slot);
    for (int i = 0; i < samples; ++i) {
      if (i == 1) Down(1000 + width, 1000 + height, 1, slot);
      else Down(1000, 1000, 1, slot);
    }
  }
};

TEST_F(Gestures, TheBoxAreaOfTheFirstTwentySamplesPicksTheShortcut) {
  // Default limits: 25 and 250 square board units.
  struct Case {
    std::int32_t width, height;
    std::vector<InputRecord> shortcut;
  };
  for (const Case& c : {Case{4, 6, kSmall}, {1, 24, kSmall}, {5, 5, kMedium}, {3, 83, kMedium},
                        {10, 25, kLarge}, {400, 400, kLarge}}) {
    SCOPED_TRACE(::testing::Message() << c.width << " x " << c.height);
    platform.output.inputs.clear();
    Stroke(c.width, c.height, 19);
    EXPECT_TRUE(platform.output.inputs.empty());
    platform.output.injectionOrder.clear();
    Down(1000, 1000);  // the twentieth sample: the shortcut goes before its pointer move
    EXPECT_EQ(platform.output.inputs, Inputs{c.shortcut});
    EXPECT_EQ(platform.output.injectionOrder, (std::vector<Injection>{Injection::Input, Injection::Mouse}));
    Down(1000 + 3 * c.width, 1000 + 3 * c.height, 10);
    Up(1000, 1000);
    EXPECT_EQ(platform.output.inputs.size(), 1u) << "once per stroke";
  }
}

TEST_F(Gestures, ThresholdsAreUnsignedHundredthsAndTheEraseTestComesFirst) {
  driver.sharedState.SetGestureBrush(-1);  // 0xFFFFFFFF hundredths: every area lies below the brush limit
  Stroke(100, 100, 20);
  Up(1000, 1000);
  EXPECT_EQ(platform.output.inputs, Inputs{kLarge}) << "10000 is still at or above the erase limit of 250";

  driver.sharedState.SetGestureErase(-2);
  platform.output.inputs.clear();
  Stroke(100, 100, 20);
  Up(1000, 1000);
  EXPECT_EQ(platform.output.inputs, Inputs{kSmall});

  // An erase limit below the brush limit: everything from the erase limit up is large.
  driver.sharedState.SetGestureBrush(10000);
  driver.sharedState.SetGestureErase(5000);
  platform.output.inputs.clear();
  for (std::int32_t width : {4, 5, 9, 10}) {  // areas 40, 50, 90, 100
    Stroke(width, 10, 20);
    Up(1000, 1000);
  }
  EXPECT_EQ(platform.output.inputs, (Inputs{kSmall, kLarge, kLarge, kLarge}));
}

TEST_F(Gestures, ABoxValueOfZeroIsNotSetAndTheNextSampleReplacesIt) {
  Down(5, 5);  // warm-up
  Down(0, 0);
  Down(1004, 1000);
  Down(1000, 1006);
  Down(1000, 1000, 17);
  // Box 1000..1004 x 1000..1006: area 24. Had the zeros counted, the box would be far larger.
  EXPECT_EQ(platform.output.inputs, Inputs{kSmall});
}

TEST_F(Gestures, WhileGesturesAreOffNothingIsCountedOrReset) {
  driver.sharedState.IsUsingGesture(0);
  Stroke(400, 400, 25);
  Up(1000, 1000);
  EXPECT_TRUE(platform.output.inputs.empty());
  EXPECT_EQ(board.gesture.sampleCount, 0);
  EXPECT_EQ(board.gesture.maxX, 0);

  // Ten samples on, then a lift and a stroke while off: the count and box carry over.
  driver.sharedState.IsUsingGesture(1);
  Stroke(4, 4, 10);
  driver.sharedState.IsUsingGesture(0);
  Up(1000, 1000);
  Stroke(30, 30, 5);
  driver.sharedState.IsUsingGesture(1);
  Down(1000, 1000, 9);
  EXPECT_TRUE(platform.output.inputs.empty());
  Down(1000, 1000);
  EXPECT_EQ(platform.output.inputs, Inputs{kSmall});
}

TEST_F(Gestures, SendingAShortcutRestoresEntryZeroAfterShowDesktop) {
  ReleaseButton(0);
  ASSERT_EQ(board.shortcuts.entries[0].count, 4u);
  Stroke(5, 5, 20);
  EXPECT_EQ(platform.output.inputs, (Inputs{kWinD, kMedium}));
  const ShortcutEntry& zero = board.shortcuts.entries[0];
  EXPECT_EQ(std::vector<InputRecord>(zero.records.begin(), zero.records.end()), CtrlShift(0x7C));
  EXPECT_EQ(zero.count, 6u);
}

}  // namespace
}  // namespace velno
