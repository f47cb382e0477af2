#include "actions/touch_buttons.h"

#include <gtest/gtest.h>

#include "driver_fixture.h"

namespace velno {
namespace {

using testing::Automation;
using testing::Injection;
using testing::kPageUp;
using testing::kWinD;
using testing::MouseCall;
using Inputs = std::vector<std::vector<InputRecord>>;
using Commands = std::vector<std::string>;

const MouseCall kPlainLeftRelease{kMouseLeftUp, 0, 0};

class TouchButtons : public testing::DriverFixture {
 protected:
  // Buttons in a row, 1000 board units apart: button i sits at (1000 * (i + 1), 5000).
  void PlaceButtons(int count) {
    for (int i = 0; i < count; ++i) board.calibration.touchButtons.positions[i] = {1000 * (i + 1), 5000};
    board.calibration.touchButtons.count = static_cast<std::uint32_t>(count);
  }

  // A whole stroke resting at one place: warm-up, press, two moves, release.
  void Tap(std::int32_t x, std::int32_t y, int downReports = 4) {
    Down(x, y, downReports);
    Up(x, y);
  }
};

TEST_F(TouchButtons, AStrokeOnAButtonInjectsNothingThenRunsTheAction) {
  PlaceButtons(3);
  driver.sharedState.IsUsingGesture(1);
  Down(2000, 5000, 12);  // button 1
  At(700);
  Down(2000, 5000, 12);  // past the busy-cursor time and the gesture's twenty samples
  EXPECT_TRUE(platform.output.mouse.empty());
  EXPECT_TRUE(platform.output.commands.empty()) << "the action waits for the release";
  Up(2000, 5000);

  // The stroke never pressed the left button, so it gets no release either.
  EXPECT_TRUE(platform.output.mouse.empty());
  EXPECT_EQ(platform.output.commands, Commands{Automation("Application New")});
  // Taken reports reach neither recogniser: no gesture shortcut, no busy cursor.
  EXPECT_TRUE(platform.output.inputs.empty());
  EXPECT_EQ(platform.output.busyCursorCalls, 0);
  // The lift ended the stroke: the next one starts with its warm-up and presses where it is.
  Down(9000, 9000, 2);
  EXPECT_EQ(platform.output.mouse, (std::vector<MouseCall>{{0x8003, 9000 * 16, 9000 * 16}}));
}

TEST_F(TouchButtons, SlidingOffDrawsMovesWithoutAPressAndTheReleaseStillFires) {
  PlaceButtons(1);
  Down(1000, 5000, 3);
  Down(9000, 9000, 10);  // the smoothed position leaves the button after a few reports
  Up(9000, 9000);

  // All ten reports off the button are drawn as moves: the stroke never pressed the left button, and
  // gets no release.
  ASSERT_EQ(platform.output.mouse.size(), 10u);
  for (std::size_t i = 0; i < 10; ++i) EXPECT_EQ(platform.output.mouse[i].flags, 0x8001u) << i;
  EXPECT_EQ(platform.output.inputs, Inputs{kWinD});
}

TEST_F(TouchButtons, AStrokeThatMovesOntoAButtonLiftsTheLeftButtonAndFiresIt) {
  PlaceButtons(1);
  Down(9000, 9000, 3);  // dropped, press, move
  Down(1000, 5000, 10);
  Up(1000, 5000);

  // The smoothed position reaches the button once the six-sample window holds only samples on it, at
  // the sixth report there; the five before it are still drawn.
  ASSERT_EQ(platform.output.mouse.size(), 8u);  // press, a move at the start, five moves on the way, release
  EXPECT_EQ(platform.output.mouse.front(), (MouseCall{0x8003, 9000 * 16, 9000 * 16}));
  for (std::size_t i = 1; i < 7; ++i) EXPECT_EQ(platform.output.mouse[i].flags, 0x8001u) << i;
  EXPECT_EQ(platform.output.mouse.back(), kPlainLeftRelease);
  EXPECT_EQ(platform.output.inputs, Inputs{kWinD});
}

TEST_F(TouchButtons, ReachIsStrictlyUnderFiftyUnits) {
  PlaceButtons(1);
  struct Case {
    std::int32_t dx, dy;
    bool hit;
  };
  // 2499 is no sum of two squares; 2498 = 47^2 + 17^2 is the nearest distance inside.
  for (const Case c : {Case{47, 17, true}, {-49, 0, true}, {50, 0, false}, {30, -40, false}, {0, -50, false}}) {
    SCOPED_TRACE(::testing::Message() << c.dx << "," << c.dy);
    platform.output.mouse.clear();
    platform.output.inputs.clear();
    Tap(1000 + c.dx, 5000 + c.dy);
    EXPECT_EQ(platform.output.inputs.size(), c.hit ? 1u : 0u);
    EXPECT_EQ(platform.output.mouse.size(), c.hit ? 0u : 4u);
  }
}

TEST_F(TouchButtons, ButtonsAtTheEndsOfThe32BitRangeAreOutOfReach) {
  // As a settings file may place them: the squared distances alone overflow 64 bits.
  board.calibration.touchButtons.positions[0] = {INT32_MIN, INT32_MIN};
  board.calibration.touchButtons.positions[1] = {INT32_MIN, INT32_MAX};
  board.calibration.touchButtons.count = 2;
  Tap(32767, 0);
  Tap(32767, 32767);
  EXPECT_EQ(platform.output.mouse.size(), 8u);  // two whole strokes drawn
  EXPECT_TRUE(platform.output.inputs.empty() && platform.output.commands.empty());
}

TEST_F(TouchButtons, TheLowerListPositionWinsAndAPressKeepsItsButton) {
  board.calibration.touchButtons.positions[3] = {1040, 5000};  // Undo
  board.calibration.touchButtons.positions[4] = {1000, 5000};  // Redo, exactly under the pen
  board.calibration.touchButtons.count = 5;
  Tap(1000, 5000);
  EXPECT_EQ(platform.output.commands, Commands{Automation("Document Undo")});

  // A press on Redo alone, then sliding over to where Undo also reaches: Redo stays pressed.
  platform.output.commands.clear();
  Down(960, 5000, 8);
  Down(1020, 5000, 8);
  Up(1020, 5000);
  EXPECT_EQ(platform.output.commands, Commands{Automation("Document Redo")});
}

TEST_F(TouchButtons, ButtonsFromTenOnSkipTheSecondShowDesktopIndex) {
  PlaceButtons(22);
  struct Case {
    int button;
    Commands commands;
    Inputs inputs;
  };
  const Case cases[] = {
      {0, {}, {kWinD}},
      {9, {Automation("Drawing Eraser")}, {}},
      {10, {}, {kWinD}},
      {11, {Automation("Application New")}, {}},
      {15, {Automation("Drawing Tool Select")}, {}},
      {16, {Automation("Drawing Pen Black")}, {}},
      {17, {Automation("Drawing Pen Red")}, {}},
      {18, {Automation("Drawing Pen Blue")}, {}},
      {19, {Automation("Drawing Eraser")}, {}},
      {20, {}, {}},
      {21, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.button);
    platform.output.commands.clear();
    platform.output.inputs.clear();
    platform.output.mouse.clear();
    Tap(1000 * (c.button + 1), 5000);
    EXPECT_EQ(platform.output.commands, c.commands);
    EXPECT_EQ(platform.output.inputs, c.inputs);
    EXPECT_TRUE(platform.output.mouse.empty()) << "taken even without an action";
  }
}

TEST_F(TouchButtons, ToolSelectHeld600MsAlsoTurnsBackAPage) {
  PlaceButtons(16);
  for (std::uint64_t held : {599, 600}) {
    SCOPED_TRACE(held);
    platform.output.commands.clear();
    platform.output.inputs.clear();
    At(50'700);
    Down(16000, 5000, 2);  // the press is stamped at the second report, the first one the button sees
    At(50'700 + held);
    Down(16000, 5000);
    Up(16000, 5000);
    EXPECT_EQ(platform.output.commands, Commands{Automation("Drawing Tool Select")});
    EXPECT_EQ(platform.output.inputs, held >= 600 ? Inputs{kPageUp} : Inputs{});
  }
}

TEST_F(TouchButtons, WithoutButtonsNothingIsTaken) {
  board.calibration.touchButtons.positions[0] = {1000, 5000};  // listed, but the count says there are none
  Tap(1000, 5000);
  EXPECT_EQ(platform.output.mouse.size(), 4u);
  EXPECT_EQ(platform.output.mouse.back().flags, 0x8005u);
  EXPECT_TRUE(platform.output.inputs.empty());
  EXPECT_EQ(platform.output.injectionOrder, std::vector<Injection>(4, Injection::Mouse));
}

}  // namespace
}  // namespace velno
