#include "actions/shortcut_table.h"

#include <gtest/gtest.h>

namespace velno {
namespace {

std::array<InputRecord, 6> CtrlShift(std::uint16_t key) {
  return {KeyPress(0x11), KeyPress(0x10), KeyPress(key), KeyRelease(key), KeyRelease(0x10), KeyRelease(0x11)};
}

TEST(ShortcutTableBuild, FunctionKeyAndDigitEntries) {
  ShortcutTable t{};
  BuildShortcutTable(t);
  struct Expect {
    int entry;
    std::uint16_t key;
  };
  for (const Expect e : {Expect{0, 0x7C}, {4, 0x80}, {8, 0x81}, {11, 0x84}, {13, 0x85}, {14, 0x86}, {15, '5'},
                         {16, 0x7C}, {20, 0x80}, {24, 0x81}, {27, 0x84}, {29, 0x85}, {30, 0x86}, {31, '1'},
                         {37, 0x85}, {38, 0x86}, {39, 0x87}}) {
    SCOPED_TRACE(e.entry);
    EXPECT_EQ(t.entries[e.entry].records, CtrlShift(e.key));
    EXPECT_EQ(t.entries[e.entry].count, 6u);
    EXPECT_EQ(t.entries[e.entry].index, e.entry);
  }
}

TEST(ShortcutTableBuild, ShortSequencesReleaseCtrlBeforeTheLetter) {
  ShortcutTable t{};
  BuildShortcutTable(t);
  const ShortcutEntry& ctrlN = t.entries[21];
  EXPECT_EQ(ctrlN.count, 4u);
  EXPECT_EQ(ctrlN.index, 21);
  EXPECT_EQ(ctrlN.records[0], KeyPress(0x11));
  EXPECT_EQ(ctrlN.records[1], KeyPress('N'));
  EXPECT_EQ(ctrlN.records[2], KeyRelease(0x11));
  EXPECT_EQ(ctrlN.records[3], KeyRelease('N'));
  EXPECT_EQ(ctrlN.records[4], InputRecord{});  // cleared past the count

  EXPECT_EQ(t.entries[12].records[1], KeyPress('P'));
  EXPECT_EQ(t.entries[kPageUpEntry].count, 2u);
  EXPECT_EQ(t.entries[kPageUpEntry].records[0], KeyPress(0x21));
  EXPECT_EQ(t.entries[kPageUpEntry].records[1], KeyRelease(0x21));
  EXPECT_EQ(t.entries[23].records[0], KeyPress(0x22));
  EXPECT_EQ(t.entries[32].records[0], KeyPress(0x24));
  EXPECT_EQ(t.entries[33].records[1], KeyRelease(0x23));
}

TEST(ShortcutTableBuild, DoubleClickAndTheTwoSilentEntries) {
  ShortcutTable t{};
  BuildShortcutTable(t);
  const ShortcutEntry& click = t.entries[34];
  EXPECT_EQ(click.count, 4u);
  EXPECT_EQ(click.records[0], MouseButton(kMouseLeftDown));
  EXPECT_EQ(click.records[3], MouseButton(kMouseLeftUp));
  EXPECT_EQ(click.records[0].type, kInputMouse);

  EXPECT_EQ(t.entries[35].count, 0u);
  EXPECT_EQ(t.entries[35].records, CtrlShift('5'));
  EXPECT_EQ(t.entries[36].count, 0u);
  EXPECT_EQ(t.entries[36].records, CtrlShift('6'));
}

TEST(ShortcutTableBuild, RebuildRestoresAnOverwrittenEntry) {
  ShortcutTable t{};
  BuildShortcutTable(t);
  t.entries[0] = ShortcutEntry{{KeyPress(0x5B), KeyPress('D'), KeyRelease(0x5B), KeyRelease('D')}, 4, 0};
  BuildShortcutTable(t);
  EXPECT_EQ(t.entries[0].records, CtrlShift(0x7C));
  EXPECT_EQ(t.entries[0].count, 6u);
}

}  // namespace
}  // namespace velno
