#include "actions/button_actions.h"

#include <cstdio>

#include "platform/driver_platform.h"

namespace velno {
namespace {

constexpr std::uint16_t kVkLeftWin = 0x5B;
constexpr std::uint16_t kVkD = 'D';
constexpr int kWinDEntry = 0;
// The program's name, a space and the longest command, with room to spare.
constexpr std::size_t kCommandLineCapacity = 96;

std::uint32_t SendEntry(DriverPlatform& platform, const ShortcutEntry& entry) {
  return platform.SendInput(entry.records.data(), entry.count);
}

// The commands of actions 1..9; actions 12..20 run the same ones.
constexpr const char* kCommands[] = {
    "Application New",     "Application SaveAs", "Document Undo",
    "Document Redo",       "Drawing Tool Select", "Drawing Pen Black",
    "Drawing Pen Red",     "Drawing Pen Blue",    "Drawing Eraser",
};

void ShowDesktop(DriverPlatform& platform, ShortcutTable& table) {
  // Entry 0 keeps the Win+D records until the table is next rebuilt.
  ShortcutEntry& entry = table.entries[kWinDEntry];
  entry = ShortcutEntry{};
  entry.records[0] = KeyPress(kVkLeftWin);
  entry.records[1] = KeyPress(kVkD);
  entry.records[2] = KeyRelease(kVkLeftWin);
  entry.records[3] = KeyRelease(kVkD);
  entry.count = 4;
  entry.index = kWinDEntry;
  SendEntry(platform, entry);
}

}  // namespace

std::uint32_t SendShortcut(DriverPlatform& platform, ShortcutTable& table, int k) {
  BuildShortcutTable(table);
  return SendEntry(platform, table.entries[k]);
}

std::int32_t RunButtonAction(DriverPlatform& platform, ShortcutTable& table, std::int32_t index) {
  if (index == 0 || index == 11) {
    ShowDesktop(platform, table);
  } else if ((index >= 1 && index <= 9) || (index >= 12 && index <= 20)) {
    const int command = (index < 10 ? index : index - 11) - 1;
    // Composed in place: this runs on the reader thread, which allocates nothing.
    char commandLine[kCommandLineCapacity];
    std::snprintf(commandLine, sizeof commandLine, "%s %s", kAutomationProgram, kCommands[command]);
    platform.RunCommand(commandLine);
  }
  return index;
}

std::int32_t RunLongPressAction(DriverPlatform& platform, ShortcutTable& table, std::int32_t index) {
  if (index == 5 || index == 16) SendEntry(platform, table.entries[kPageUpEntry]);
  return index;
}

}  // namespace velno
