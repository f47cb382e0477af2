// Two boards report at once, each on its own reader thread: neither may disturb the other's button
// press, hold or gesture.
#include <gtest/gtest.h>

#include "driver_fixture.h"

namespace velno {
namespace {

using testing::Automation;
using testing::CtrlShift;
using testing::kPageUp;
using testing::kRightClick;
using Inputs = std::vector<std::vector<InputRecord>>;
using Commands = std::vector<std::string>;

constexpr int kFirst = 0;
constexpr int kSecond = 1;

using TwoBoards = testing::DriverFixture;

TEST_F(TwoBoards, HardwareButtonPressesAreTimedPerBoard) {
  At(1000);
  PressButton(5, kFirst);
  At(1500);
  PressButton(5, kSecond);
  At(1700);
  ReleaseButton(5, kFirst);  // 700 ms after its own press
  EXPECT_EQ(platform.output.inputs, Inputs{kPageUp});
  ReleaseButton(5, kSecond);  // 200 ms
  EXPECT_EQ(platform.output.inputs, Inputs{kPageUp});
  EXPECT_EQ(platform.output.commands, Commands(2, Automation("Drawing Tool Select")));
}

TEST_F(TwoBoards, ATouchButtonPressBelongsToItsBoard) {
  driver.boards[kFirst].calibration.touchButtons.positions[0] = {3000, 3000};
  driver.boards[kFirst].calibration.touchButtons.count = 1;
  Down(9000, 9000, 3, kFirst);  // a stroke that moves onto the button holds the left button
  Down(3000, 3000, 8, kFirst);

  // The second board, without buttons, draws a stroke and lifts its pen meanwhile.
  Down(9000, 9000, 3, kSecond);
  Up(9000, 9000, kSecond);
  EXPECT_EQ(platform.output.mouse.back().flags, 0x8005u);
  EXPECT_TRUE(platform.output.commands.empty() && platform.output.inputs.empty());

  Up(3000, 3000, kFirst);
  EXPECT_EQ(platform.output.mouse.back(), (testing::MouseCall{kMouseLeftUp, 0, 0}));
  EXPECT_EQ(platform.output.inputs, (Inputs{testing::kWinD}));
}

TEST_F(TwoBoards, OneBoardsPenMovingDoesNotRestartTheOthersHold) {
  At(0);
  Down(4000, 4000, 3, kFirst);  // anchored, then timing from 0
  for (std::uint64_t t = 100; t <= 10'000; t += 100) {
    At(t);
    Down(20000 + static_cast<std::int32_t>(t), 9000, 1, kSecond);  // a stroke moving all the time
    Down(4000, 4000, 1, kFirst);
  }
  EXPECT_EQ(platform.output.busyCursorCalls, 1);
  Up(20000, 9000, kSecond);
  EXPECT_TRUE(platform.output.inputs.empty());
  Up(4000, 4000, kFirst);
  EXPECT_EQ(platform.output.inputs, Inputs{kRightClick});
}

TEST_F(TwoBoards, StrokesOnBothBoardsAreRecognisedApart) {
  driver.sharedState.IsUsingGesture(1);
  Down(1000, 1000, 1, kFirst);
  Down(1000, 1000, 1, kSecond);
  for (int i = 0; i < 19; ++i) {
    Down(1000 + i % 5, 1000 + i % 4, 1, kFirst);       // 4 x 3
    Down(2000 + i * 10, 2000 + i * 10, 1, kSecond);  // 180 x 180
  }
  EXPECT_TRUE(platform.output.inputs.empty());
  Down(1000, 1000, 1, kFirst);
  Down(2000, 2000, 1, kSecond);
  EXPECT_EQ(platform.output.inputs, (Inputs{CtrlShift(0x85), CtrlShift(0x87)}));
}

}  // namespace
}  // namespace velno
