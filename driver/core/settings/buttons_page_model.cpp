#include "settings/buttons_page_model.h"

#include <algorithm>

#include "actions/action_words.h"

namespace velno {
namespace {

// Key combinations a teacher reaches for: undo and redo, copy and paste, save, print, slides forward and
// back, start and end a slide show, the snipping tool, switching programs.
constexpr const wchar_t* kCommonKeys[] = {
    L"Ctrl+Z", L"Ctrl+Y", L"Ctrl+C",    L"Ctrl+V",      L"Ctrl+S", L"Ctrl+P",
    L"Page Up", L"Page Down", L"Left", L"Right", L"F5", L"Esc", L"Win+Shift+S", L"Alt+Tab",
};

constexpr ActionKind kBuiltIns[] = {ActionKind::Keyboard, ActionKind::RightClickNext, ActionKind::CheckCalibration,
                                    ActionKind::CalibrateScreen};

}  // namespace

std::wstring TriggerLine(Trigger trigger, const ButtonAction& action, bool failed) {
  // The mark comes first, so that a long action's words never hide it.
  return TriggerWords(trigger) + (failed ? L" (failed): " : L": ") + ActionWords(action);
}

std::vector<ButtonAction> ActionChoices(Trigger trigger, const ButtonAction& kept, const ButtonAction& current) {
  std::vector<ButtonAction> choices{KindAction(ActionKind::Nothing), KindAction(ActionKind::ShowDesktop)};
  for (int c = 0; c < kEasiteachCommandCount; ++c) choices.push_back(EasiteachAction(static_cast<EasiteachCommand>(c)));
  for (const wchar_t* keys : kCommonKeys) {
    ButtonAction action = KindAction(ActionKind::Keys);
    action.keys = *ParseKeyCombination(keys);
    choices.push_back(action);
  }
  for (ActionKind kind : kBuiltIns) choices.push_back(KindAction(kind));
  if (trigger.kind == TriggerKind::Gesture) choices.push_back(KindAction(ActionKind::GestureShortcut));
  for (const ButtonAction* own : {&kept, &current}) {
    if (std::find(choices.begin(), choices.end(), *own) == choices.end()) choices.push_back(*own);
  }
  return choices;
}

ButtonAction StepAction(Trigger trigger, const ButtonAction& kept, const ButtonAction& current, int direction) {
  const std::vector<ButtonAction> choices = ActionChoices(trigger, kept, current);
  const auto count = static_cast<int>(choices.size());
  const auto at = static_cast<int>(std::find(choices.begin(), choices.end(), current) - choices.begin());
  return choices[((at + direction) % count + count) % count];
}

int SentTriggerLine(std::uint32_t lastSent) { return static_cast<int>(lastSent & 0xFFu) - 1; }

}  // namespace velno
