#include "actions/hardware_buttons.h"

#include <gtest/gtest.h>

#include "driver_fixture.h"

namespace velno {
namespace {

using testing::Automation;
using testing::kPageUp;
using testing::kWinD;
using Inputs = std::vector<std::vector<InputRecord>>;
using Commands = std::vector<std::string>;

class HardwareButtons : public testing::DriverFixture {
 protected:
  // A press of `number` at `pressMs` and its release at `releaseMs`.
  void Click(int number, std::uint64_t pressMs, std::uint64_t releaseMs) {
    At(pressMs);
    PressButton(number);
    At(releaseMs);
    ReleaseButton(number);
  }
};

TEST_F(HardwareButtons, AReleaseRunsTheActionOfTheButtonsOwnNumber) {
  const Commands commandOf[16] = {{},
                                  {Automation("Application New")},
                                  {Automation("Application SaveAs")},
                                  {Automation("Document Undo")},
                                  {Automation("Document Redo")},
                                  {Automation("Drawing Tool Select")},
                                  {Automation("Drawing Pen Black")},
                                  {Automation("Drawing Pen Red")},
                                  {Automation("Drawing Pen Blue")},
                                  {Automation("Drawing Eraser")},
                                  {},
                                  {},
                                  {Automation("Application New")},
                                  {Automation("Application SaveAs")},
                                  {Automation("Document Undo")},
                                  {Automation("Document Redo")}};
  for (int number = 0; number < 16; ++number) {
    SCOPED_TRACE(number);
    platform.output.commands.clear();
    platform.output.inputs.clear();
    PressButton(number);
    EXPECT_TRUE(platform.output.commands.empty() && platform.output.inputs.empty()) << "a press only takes the time";
    ReleaseButton(number);
    EXPECT_EQ(platform.output.commands, commandOf[number]);
    EXPECT_EQ(platform.output.inputs, (number == 0 || number == 11) ? Inputs{kWinD} : Inputs{});
  }
  EXPECT_TRUE(platform.output.mouse.empty());
}

TEST_F(HardwareButtons, ToolSelectHeld600MsAlsoTurnsBackAPage) {
  Click(5, 10'400, 10'999);  // 599 ms, across a second boundary
  EXPECT_EQ(platform.output.commands, Commands{Automation("Drawing Tool Select")});
  EXPECT_TRUE(platform.output.inputs.empty());

  platform.output.commands.clear();
  Click(5, 20'400, 21'000);  // 600 ms
  EXPECT_EQ(platform.output.commands, Commands{Automation("Drawing Tool Select")});
  EXPECT_EQ(platform.output.inputs, Inputs{kPageUp});
}

TEST_F(HardwareButtons, ButtonTenDoesNothingOnAnyHold) {
  for (std::uint64_t held : {0, 599, 600, 60'000}) {
    Click(10, 5'000, 5'000 + held);
  }
  EXPECT_TRUE(platform.output.commands.empty());
  EXPECT_TRUE(platform.output.inputs.empty());
}

TEST_F(HardwareButtons, AReleaseMeasuresFromTheLastPressOfAnyButton) {
  // A release with no press since start-up is short, however late it comes: measured from a zero
  // stamp it would be a hold of five seconds.
  At(5'000);
  ReleaseButton(5);
  EXPECT_TRUE(platform.output.inputs.empty());

  // The release is not matched to its press: button 3's press times button 5's release.
  Click(3, 1'700'000'001'000, 1'700'000'001'000);
  platform.output.inputs.clear();
  At(1'700'000'001'700);
  ReleaseButton(5);
  EXPECT_EQ(platform.output.inputs, Inputs{kPageUp});

  // Each press overwrites the stamp: 200 ms after the second press is a short press.
  platform.output.inputs.clear();
  At(1'700'000'002'000);
  PressButton(5);
  At(1'700'000'002'500);
  PressButton(5);
  At(1'700'000'002'700);
  ReleaseButton(5);
  EXPECT_TRUE(platform.output.inputs.empty());
}

}  // namespace
}  // namespace velno
