// The actions that board buttons and touch buttons run, the named table of which trigger runs which, and
// the sending of a board's prepared shortcut sequences.
#pragma once

#include <array>
#include <cstdint>

#include "actions/shortcut_table.h"
#include "platform/key_output.h"
#include "platform/program_starter.h"

namespace velno {

// The presentation program's automation executable; the platform's program search finds it.
inline constexpr const char* kAutomationProgram = "LightboxEducation.Easiteach.Automation.exe";
inline constexpr std::int32_t kLongPressMilliseconds = 600;

inline constexpr int kBoardButtonCount = 16;
// Touch buttons past these run nothing.
inline constexpr int kTouchButtonActionCount = 20;

// What an action reaches: the prepared key sequences and the programs it starts.
struct ActionOutputs {
  KeyOutput& keys;
  ProgramStarter& programs;
};

enum class ActionKind : std::uint8_t {
  Nothing,
  ShowDesktop,        // Win+D, written into shortcut entry 0 and sent from there
  AutomationCommand,  // one command of the presentation program, through its automation executable
  PageUp,             // shortcut entry 6
};

struct ButtonAction {
  ActionKind kind = ActionKind::Nothing;
  const char* command = nullptr;  // the automation command of an AutomationCommand action
};

// What one trigger runs when it is released, and in addition when it was held 600 ms or more.
struct TriggerActions {
  ButtonAction press;
  ButtonAction longPress;
};

// Which action each trigger runs: the board's buttons by their number, touch buttons by their place in
// the board's list.
struct ButtonActionTable {
  std::array<TriggerActions, kBoardButtonCount> boardButtons;
  std::array<TriggerActions, kTouchButtonActionCount> touchButtons;
};

// The actions every board starts with: the desktop, the presentation program's commands, and Page Up
// on a long press of its select tool.
const ButtonActionTable& DefaultButtonActions();

// Rebuilds the whole table, then sends entry k (0..39) with one SendInput call; returns its result.
std::uint32_t SendShortcut(KeyOutput& keys, ShortcutTable& table, int k);

// Runs an action; Win+D is written into entry 0 of the board's table and sent from there.
void RunButtonAction(const ActionOutputs& outputs, ShortcutTable& table, const ButtonAction& action);

// A trigger's release: its action, then its long-press action when it was held kLongPressMilliseconds or
// more.
void RunTriggerActions(const ActionOutputs& outputs, ShortcutTable& table, const TriggerActions& actions,
                       bool longPress);

}  // namespace velno
