// The actions that board buttons, touch buttons and gestures run, the table of which trigger runs which,
// and the sending of a board's prepared shortcut sequences.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "actions/action_requests.h"
#include "actions/key_combination.h"
#include "actions/shortcut_table.h"
#include "actions/trigger.h"
#include "platform/event_log.h"
#include "platform/key_output.h"
#include "platform/program_starter.h"

namespace velno {

// The presentation program's automation executable; the platform's program search finds it.
inline constexpr const wchar_t* kAutomationProgram = L"LightboxEducation.Easiteach.Automation.exe";
inline constexpr const wchar_t* kOnScreenKeyboardProgram = L"osk.exe";
inline constexpr std::int32_t kLongPressMilliseconds = 600;

enum class ActionKind : std::uint8_t {
  Nothing,
  ShowDesktop,        // Win+D, written into shortcut entry 0 and sent from there
  AutomationCommand,  // one command of the presentation program, through its automation executable
  Keys,               // a key combination
  Program,            // starts a program with arguments
  Open,               // opens a file or a web address with the program Windows has for it
  Keyboard,           // the on-screen keyboard
  RightClickNext,     // the next touch of the pen is a right click
  CheckCalibration,   // the calibration tool's check, as the icon's menu starts it
  CalibrateScreen,    // the calibration tool on this screen, as the icon's menu starts it
  GestureShortcut,    // a gesture's own prepared shortcut (entries 37..39)
};

// The presentation program's commands a button can run.
enum class EasiteachCommand : std::uint8_t { New, SaveAs, Undo, Redo, Select, BlackPen, RedPen, BluePen, Eraser };
inline constexpr int kEasiteachCommandCount = 9;

struct ButtonAction {
  ActionKind kind = ActionKind::Nothing;
  EasiteachCommand command = EasiteachCommand::New;  // of an AutomationCommand
  KeyCombination keys;                               // of Keys
  std::wstring target;                               // the program, file or web address of Program and Open
  std::wstring arguments;                            // given to it

  friend bool operator==(const ButtonAction&, const ButtonAction&) = default;
};

inline ButtonAction KindAction(ActionKind kind) {
  ButtonAction action;
  action.kind = kind;
  return action;
}
inline ButtonAction EasiteachAction(EasiteachCommand command) {
  ButtonAction action = KindAction(ActionKind::AutomationCommand);
  action.command = command;
  return action;
}

// What one trigger runs when it is released, and in addition when it was held 600 ms or more.
struct TriggerActions {
  ButtonAction press;
  ButtonAction longPress;

  friend bool operator==(const TriggerActions&, const TriggerActions&) = default;
};

// Which action each trigger runs: the board's buttons by their number, touch buttons by their place in
// the board's list, the gestures small, medium, large.
struct ButtonActionTable {
  std::array<TriggerActions, kBoardButtonCount> boardButtons;
  std::array<TriggerActions, kTouchButtonActionCount> touchButtons;
  std::array<ButtonAction, kGestureCount> gestures;

  friend bool operator==(const ButtonActionTable&, const ButtonActionTable&) = default;
};

// The actions every board starts with: the desktop, the presentation program's commands, Page Up on a
// long press of its select tool, and the gestures' prepared shortcuts.
const ButtonActionTable& DefaultButtonActions();

// The action of one trigger in a table.
const ButtonAction& ActionOf(const ButtonActionTable& table, Trigger trigger);
ButtonAction& ActionOf(ButtonActionTable& table, Trigger trigger);

// The automation command line words of a command ("Document Undo").
const wchar_t* AutomationWords(EasiteachCommand command);

// The table the report path runs, swapped as a whole: a reader takes the current one under a short lock
// (a reference count, no allocation) when a trigger fires, the settings window puts a new one in.
class LiveButtonActions {
 public:
  LiveButtonActions() : table_(std::make_shared<const ButtonActionTable>(DefaultButtonActions())) {}
  std::shared_ptr<const ButtonActionTable> Current() const {
    std::lock_guard guard(lock_);
    return table_;
  }
  void Replace(ButtonActionTable table) {
    auto next = std::make_shared<const ButtonActionTable>(std::move(table));
    std::lock_guard guard(lock_);
    table_.swap(next);
  }

 private:
  mutable std::mutex lock_;
  std::shared_ptr<const ButtonActionTable> table_;
};

// What an action reaches: the prepared key sequences, the programs it starts, the event log for its first
// failure and what it leaves for the icon's thread, which `wake` tells without waiting.
struct ActionOutputs {
  KeyOutput& keys;
  ProgramStarter& programs;
  EventLog& log;
  ActionRequests& requests;
  const std::function<void()>& wake;
};

// Rebuilds the whole table, then sends entry k (0..39) with one SendInput call; returns its result.
std::uint32_t SendShortcut(KeyOutput& keys, ShortcutTable& table, int k);

// Runs the action of `trigger`; Win+D is written into entry 0 of the board's table and sent from there.
// A program that does not start is logged and noticed the first time for that trigger.
void RunButtonAction(const ActionOutputs& outputs, ShortcutTable& table, Trigger trigger, const ButtonAction& action);

// A trigger's release: its action, then its long-press action when it was held kLongPressMilliseconds or
// more. `trigger` names the press; the Test of the settings window hears of it.
void RunTriggerActions(const ActionOutputs& outputs, ShortcutTable& table, const ButtonActionTable& actions,
                       Trigger trigger, bool longPress);

}  // namespace velno
