// The button actions as config.ini keeps them, in the section [Velno], one key per trigger that does not
// run its default: "Button3=keys Ctrl+Z", "Button5.LongPress=keys Page Up", "TouchButton2=open
// https://example.org", "GestureSmall=keys Ctrl+Z". A missing or empty key is the trigger's default; a
// value that cannot be read is the default too, and listed. Free of any driver state, so that the
// calibration tool can read the same keys.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "actions/button_actions.h"
#include "actions/trigger.h"
#include "platform/settings_store.h"

namespace velno {

// "Button3", "Button5.LongPress", "TouchButton2" (counted from 1, as printed), "GestureSmall".
std::wstring TriggerKey(Trigger trigger);

// One value: "nothing", "desktop", "easiteach Undo", "keys Ctrl+Z", "program "C:\Tools\x.exe" /a",
// "open https://...", "keyboard", "right-click", "check", "calibrate", "standard" (a gesture's own
// shortcut). The first word in any case; a program or file with spaces in quotes, its arguments after it.
std::optional<ButtonAction> ParseAction(std::wstring_view text, Trigger trigger);
// The words ParseAction reads back.
std::wstring FormatAction(const ButtonAction& action);

// A key that was not taken, and its text.
struct RefusedAction {
  std::wstring key;
  std::wstring value;

  friend bool operator==(const RefusedAction&, const RefusedAction&) = default;
};

struct ButtonActionsRead {
  ButtonActionTable table;
  std::vector<RefusedAction> refused;  // in the order of the triggers
};

// The text of one key of the section; empty when it is missing.
using SectionLookup = std::function<std::wstring(const std::wstring& key)>;

ButtonActionsRead ParseButtonActions(const SectionLookup& lookup);
ButtonActionsRead ReadButtonActions(SettingsStore& store);

// The keys of one save: each trigger that runs other than its default in `table`, and, empty, each that
// did in `before`, so that a trigger set back to its default loses its key's value.
std::vector<SettingWrite> ButtonActionWrites(const ButtonActionTable& before, const ButtonActionTable& table);

// What the touch button at `index` (0-based, in the board's list) does, in plain words: "Undo (Easiteach)".
std::wstring TouchButtonActionWords(const ButtonActionTable& table, int index);

}  // namespace velno
