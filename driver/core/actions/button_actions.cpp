#include "actions/button_actions.h"

#include <cstdio>

namespace velno {
namespace {

constexpr std::uint16_t kVkLeftWin = 0x5B;
constexpr std::uint16_t kVkD = 'D';
constexpr int kWinDEntry = 0;
// The program's name, a space and the longest command, with room to spare.
constexpr std::size_t kCommandLineCapacity = 96;

std::uint32_t SendEntry(KeyOutput& keys, const ShortcutEntry& entry) {
  return keys.SendInput(entry.records.data(), entry.count);
}

void ShowDesktop(KeyOutput& keys, ShortcutTable& table) {
  // Entry 0 keeps the Win+D records until the table is next rebuilt.
  ShortcutEntry& entry = table.entries[kWinDEntry];
  entry = ShortcutEntry{};
  entry.records[0] = KeyPress(kVkLeftWin);
  entry.records[1] = KeyPress(kVkD);
  entry.records[2] = KeyRelease(kVkLeftWin);
  entry.records[3] = KeyRelease(kVkD);
  entry.count = 4;
  entry.index = kWinDEntry;
  SendEntry(keys, entry);
}

constexpr ButtonAction Command(const char* command) { return {ActionKind::AutomationCommand, command}; }
constexpr TriggerActions Runs(ButtonAction press) { return {press, {}}; }

constexpr TriggerActions kDesktop = Runs({ActionKind::ShowDesktop});
constexpr TriggerActions kNew = Runs(Command("Application New"));
constexpr TriggerActions kSaveAs = Runs(Command("Application SaveAs"));
constexpr TriggerActions kUndo = Runs(Command("Document Undo"));
constexpr TriggerActions kRedo = Runs(Command("Document Redo"));
constexpr TriggerActions kSelect = {Command("Drawing Tool Select"), {ActionKind::PageUp}};
constexpr TriggerActions kBlack = Runs(Command("Drawing Pen Black"));
constexpr TriggerActions kRed = Runs(Command("Drawing Pen Red"));
constexpr TriggerActions kBlue = Runs(Command("Drawing Pen Blue"));
constexpr TriggerActions kEraser = Runs(Command("Drawing Eraser"));
constexpr TriggerActions kNothing = {};

// Board button 10 does nothing and 11 to 15 start the row again; the printed touch buttons run the same
// ten actions twice over.
constexpr ButtonActionTable kDefaultButtonActions = {
    {kDesktop, kNew, kSaveAs, kUndo, kRedo, kSelect, kBlack, kRed, kBlue, kEraser, kNothing, kDesktop, kNew, kSaveAs,
     kUndo, kRedo},
    {kDesktop, kNew, kSaveAs, kUndo, kRedo, kSelect, kBlack, kRed, kBlue, kEraser, kDesktop, kNew, kSaveAs, kUndo,
     kRedo, kSelect, kBlack, kRed, kBlue, kEraser},
};

}  // namespace

const ButtonActionTable& DefaultButtonActions() { return kDefaultButtonActions; }

std::uint32_t SendShortcut(KeyOutput& keys, ShortcutTable& table, int k) {
  BuildShortcutTable(table);
  return SendEntry(keys, table.entries[k]);
}

void RunButtonAction(const ActionOutputs& outputs, ShortcutTable& table, const ButtonAction& action) {
  switch (action.kind) {
    case ActionKind::Nothing:
      break;
    case ActionKind::ShowDesktop:
      ShowDesktop(outputs.keys, table);
      break;
    case ActionKind::AutomationCommand: {
      // Composed in place: this runs on the reader thread, which allocates nothing.
      char commandLine[kCommandLineCapacity];
      std::snprintf(commandLine, sizeof commandLine, "%s %s", kAutomationProgram, action.command);
      outputs.programs.RunCommand(commandLine);
      break;
    }
    case ActionKind::PageUp:
      SendEntry(outputs.keys, table.entries[kPageUpEntry]);
      break;
  }
}

void RunTriggerActions(const ActionOutputs& outputs, ShortcutTable& table, const TriggerActions& actions,
                       bool longPress) {
  RunButtonAction(outputs, table, actions.press);
  if (longPress) RunButtonAction(outputs, table, actions.longPress);
}

}  // namespace velno
