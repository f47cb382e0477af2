#include "actions/action_text.h"

#include "actions/action_words.h"
#include "actions/written_words.h"
#include "settings/teacher_settings.h"

namespace velno {
namespace {

constexpr const wchar_t* kGestureKeys[kGestureCount] = {L"GestureSmall", L"GestureMedium", L"GestureLarge"};
constexpr const wchar_t* kEasiteachNames[kEasiteachCommandCount] = {
    L"New", L"SaveAs", L"Undo", L"Redo", L"Select", L"BlackPen", L"RedPen", L"BluePen", L"Eraser",
};

// The kinds that are one word and nothing more.
struct KindWord {
  ActionKind kind;
  const wchar_t* word;
};
constexpr KindWord kKindWords[] = {
    {ActionKind::Nothing, L"nothing"},          {ActionKind::ShowDesktop, L"desktop"},
    {ActionKind::Keyboard, L"keyboard"},        {ActionKind::RightClickNext, L"right-click"},
    {ActionKind::CheckCalibration, L"check"},   {ActionKind::CalibrateScreen, L"calibrate"},
    {ActionKind::GestureShortcut, L"standard"},
};
constexpr const wchar_t* kEasiteachWord = L"easiteach";
constexpr const wchar_t* kKeysWord = L"keys";
constexpr const wchar_t* kProgramWord = L"program";
constexpr const wchar_t* kOpenWord = L"open";

bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t'; }

// A program or file and its arguments: the first word, or a quoted path, then the rest.
std::optional<ButtonAction> TargetAction(ActionKind kind, std::wstring_view rest) {
  ButtonAction action = KindAction(kind);
  std::size_t end = 0;
  if (!rest.empty() && rest[0] == L'"') {
    end = rest.find(L'"', 1);
    if (end == std::wstring_view::npos) return std::nullopt;
    action.target = rest.substr(1, end - 1);
    ++end;
    if (end < rest.size() && !IsSpace(rest[end])) return std::nullopt;
  } else {
    while (end < rest.size() && !IsSpace(rest[end])) ++end;
    action.target = rest.substr(0, end);
  }
  if (Trimmed(action.target).empty()) return std::nullopt;
  action.arguments = Trimmed(rest.substr(end));
  return action;
}

std::wstring Quoted(const std::wstring& target) {
  return target.find_first_of(L" \t") == std::wstring::npos ? target : L"\"" + target + L"\"";
}

std::wstring WithArguments(std::wstring text, const std::wstring& arguments) {
  if (!arguments.empty()) text += L" " + arguments;
  return text;
}

}  // namespace

std::wstring TriggerKey(Trigger trigger) {
  const wchar_t* held = trigger.longPress ? L".LongPress" : L"";
  switch (trigger.kind) {
    case TriggerKind::BoardButton:
      return L"Button" + std::to_wstring(trigger.number) + held;
    case TriggerKind::TouchButton:
      return L"TouchButton" + std::to_wstring(trigger.number + 1) + held;
    case TriggerKind::Gesture:
      break;
  }
  return kGestureKeys[trigger.number];
}

std::optional<ButtonAction> ParseAction(std::wstring_view text, Trigger trigger) {
  text = Trimmed(text);
  std::size_t wordEnd = 0;
  while (wordEnd < text.size() && !IsSpace(text[wordEnd])) ++wordEnd;
  const std::wstring_view word = text.substr(0, wordEnd);
  const std::wstring_view rest = Trimmed(text.substr(wordEnd));

  for (const KindWord& k : kKindWords) {
    if (!SameLetters(word, k.word)) continue;
    // Only a gesture has a shortcut of its own.
    if (!rest.empty() || (k.kind == ActionKind::GestureShortcut && trigger.kind != TriggerKind::Gesture)) {
      return std::nullopt;
    }
    return KindAction(k.kind);
  }
  if (SameLetters(word, kEasiteachWord)) {
    for (int c = 0; c < kEasiteachCommandCount; ++c) {
      if (SameLetters(rest, kEasiteachNames[c])) {
        return EasiteachAction(static_cast<EasiteachCommand>(c));
      }
    }
    return std::nullopt;
  }
  if (SameLetters(word, kKeysWord)) {
    const auto keys = ParseKeyCombination(rest);
    if (!keys) return std::nullopt;
    ButtonAction action = KindAction(ActionKind::Keys);
    action.keys = *keys;
    return action;
  }
  if (SameLetters(word, kProgramWord)) return TargetAction(ActionKind::Program, rest);
  if (SameLetters(word, kOpenWord)) return TargetAction(ActionKind::Open, rest);
  return std::nullopt;
}

std::wstring FormatAction(const ButtonAction& action) {
  switch (action.kind) {
    case ActionKind::AutomationCommand:
      return std::wstring(kEasiteachWord) + L" " + kEasiteachNames[static_cast<int>(action.command)];
    case ActionKind::Keys:
      return std::wstring(kKeysWord) + L" " + FormatKeyCombination(action.keys);
    case ActionKind::Program:
      return WithArguments(std::wstring(kProgramWord) + L" " + Quoted(action.target), action.arguments);
    case ActionKind::Open:
      return WithArguments(std::wstring(kOpenWord) + L" " + Quoted(action.target), action.arguments);
    default:
      break;
  }
  for (const KindWord& k : kKindWords) {
    if (k.kind == action.kind) return k.word;
  }
  return {};
}

ButtonActionsRead ParseButtonActions(const SectionLookup& lookup) {
  ButtonActionsRead read{DefaultButtonActions(), {}};
  for (int i = 0; i < kTriggerCount; ++i) {
    const Trigger trigger = TriggerAt(i);
    const std::wstring key = TriggerKey(trigger);
    const std::wstring text = lookup(key);
    if (Trimmed(text).empty()) continue;
    if (auto action = ParseAction(text, trigger)) {
      ActionOf(read.table, trigger) = std::move(*action);
    } else {
      read.refused.push_back({key, text});
    }
  }
  return read;
}

ButtonActionsRead ReadButtonActions(SettingsStore& store) {
  return ParseButtonActions([&store](const std::wstring& key) { return store.ReadText(kTeacherSection, key, L""); });
}

std::vector<SettingWrite> ButtonActionWrites(const ButtonActionTable& before, const ButtonActionTable& table) {
  const ButtonActionTable& defaults = DefaultButtonActions();
  std::vector<SettingWrite> writes;
  for (int i = 0; i < kTriggerCount; ++i) {
    const Trigger trigger = TriggerAt(i);
    const ButtonAction& now = ActionOf(table, trigger);
    const bool isDefault = now == ActionOf(defaults, trigger);
    if (!isDefault || ActionOf(before, trigger) != ActionOf(defaults, trigger)) {
      writes.push_back({kTeacherSection, TriggerKey(trigger), isDefault ? L"" : FormatAction(now)});
    }
  }
  return writes;
}

std::wstring TouchButtonActionWords(const ButtonActionTable& table, int index) {
  if (index < 0 || index >= kTouchButtonActionCount) return ActionWords(ButtonAction{});
  return ActionWords(table.touchButtons[index].press);
}

}  // namespace velno
