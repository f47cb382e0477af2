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

  testing::RecordingPlatform platform;
  ShortcutTable table{};
};

TEST_F(ButtonActions, WinDStaysInEntryZeroUntilTheTableIsRebuilt) {
  RunButtonAction(platform, table, 11);
  const ShortcutEntry& zero = table.entries[0];
  EXPECT_EQ(std::vector<InputRecord>(zero.records.begin(), zero.records.begin() + 4), kWinD);
  EXPECT_EQ(zero.records[4], InputRecord{});
  EXPECT_EQ(zero.records[5], InputRecord{});
  EXPECT_EQ(zero.count, 4u);
  EXPECT_EQ(zero.index, 0);

  // Sending any shortcut rebuilds the table first.
  EXPECT_EQ(SendShortcut(platform, table, 38), 6u);
  EXPECT_EQ(platform.inputs.back(), CtrlShift(0x86));
  EXPECT_EQ(std::vector<InputRecord>(zero.records.begin(), zero.records.end()), CtrlShift(0x7C));
  EXPECT_EQ(zero.count, 6u);
}

TEST_F(ButtonActions, SilentEntriesSendNothing) {
  for (int k : {35, 36}) {
    platform.inputs.clear();
    EXPECT_EQ(SendShortcut(platform, table, k), 0u);
    ASSERT_EQ(platform.inputs.size(), 1u);
    EXPECT_TRUE(platform.inputs[0].empty());
  }
}

TEST_F(ButtonActions, OnlyToolSelectHasALongPress) {
  for (std::int32_t index = -1; index <= 40; ++index) {
    platform.inputs.clear();
    EXPECT_EQ(RunLongPressAction(platform, table, index), index);
    if (index == 5 || index == 16) {
      EXPECT_EQ(platform.inputs, (std::vector<std::vector<InputRecord>>{kPageUp})) << index;
    } else {
      EXPECT_TRUE(platform.inputs.empty()) << index;
    }
  }
  EXPECT_TRUE(platform.commands.empty());
}

}  // namespace
}  // namespace velno
