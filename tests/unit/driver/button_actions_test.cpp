#include "actions/button_actions.h"

#include <gtest/gtest.h>

#include "driver_fixture.h"

namespace velno {
namespace {

using testing::CtrlShift;
using testing::kPageUp;
using testing::kWinD;

class ButtonActions : public ::testing::Test {
 protected:
  void SetUp() override { BuildShortcutTable(table); }

  testing::RecordingOutput output;
  const ActionOutputs outputs{output, output};
  ShortcutTable table{};
};

TEST_F(ButtonActions, WinDStaysInEntryZeroUntilTheTableIsRebuilt) {
  RunButtonAction(outputs, table, DefaultButtonActions().boardButtons[11].press);
  const ShortcutEntry& zero = table.entries[0];
  EXPECT_EQ(std::vector<InputRecord>(zero.records.begin(), zero.records.begin() + 4), kWinD);
  EXPECT_EQ(zero.records[4], InputRecord{});
  EXPECT_EQ(zero.records[5], InputRecord{});
  EXPECT_EQ(zero.count, 4u);
  EXPECT_EQ(zero.index, 0);

  // Sending any shortcut rebuilds the table first.
  EXPECT_EQ(SendShortcut(output, table, 38), 6u);
  EXPECT_EQ(output.inputs.back(), CtrlShift(0x86));
  EXPECT_EQ(std::vector<InputRecord>(zero.records.begin(), zero.records.end()), CtrlShift(0x7C));
  EXPECT_EQ(zero.count, 6u);
}

TEST_F(ButtonActions, SilentEntriesSendNothing) {
  for (int k : {35, 36}) {
    output.inputs.clear();
    EXPECT_EQ(SendShortcut(output, table, k), 0u);
    ASSERT_EQ(output.inputs.size(), 1u);
    EXPECT_TRUE(output.inputs[0].empty());
  }
}

// Only the select tool (board button 5, touch buttons 5 and 15) turns back a page on a long press.
TEST_F(ButtonActions, OnlyToolSelectHasALongPress) {
  const ButtonActionTable& actions = DefaultButtonActions();
  auto longPressSends = [&](const TriggerActions& trigger) {
    output.inputs.clear();
    RunButtonAction(outputs, table, trigger.longPress);
    return output.inputs;
  };
  for (int button = 0; button < kBoardButtonCount; ++button) {
    EXPECT_EQ(longPressSends(actions.boardButtons[button]),
              button == 5 ? std::vector<std::vector<InputRecord>>{kPageUp} : std::vector<std::vector<InputRecord>>{})
        << "board button " << button;
  }
  for (int button = 0; button < kTouchButtonActionCount; ++button) {
    EXPECT_EQ(longPressSends(actions.touchButtons[button]),
              button % 10 == 5 ? std::vector<std::vector<InputRecord>>{kPageUp} : std::vector<std::vector<InputRecord>>{})
        << "touch button " << button;
  }
  EXPECT_TRUE(output.commands.empty());
}

}  // namespace
}  // namespace velno
