#include "actions/action_words.h"

namespace velno {
namespace {

constexpr const wchar_t* kEasiteachWords[kEasiteachCommandCount] = {
    L"New page", L"Save as", L"Undo", L"Redo", L"Select tool", L"Black pen", L"Red pen", L"Blue pen", L"Eraser",
};
constexpr const wchar_t* kGestureWords[kGestureCount] = {L"Small gesture", L"Medium gesture", L"Large gesture"};

std::wstring WithArguments(std::wstring words, const std::wstring& arguments) {
  if (!arguments.empty()) words += L" " + arguments;
  return words;
}

constexpr const wchar_t* kChangeIt = L" Choose another action in Velno settings.";

}  // namespace

std::wstring TriggerWords(Trigger trigger) {
  const wchar_t* held = trigger.longPress ? L" held" : L"";
  switch (trigger.kind) {
    case TriggerKind::BoardButton:
      return L"Button " + std::to_wstring(trigger.number) + held;
    case TriggerKind::TouchButton:
      return L"Touch button " + std::to_wstring(trigger.number + 1) + held;
    case TriggerKind::Gesture:
      break;
  }
  return kGestureWords[trigger.number];
}

std::wstring ActionWords(const ButtonAction& action) {
  switch (action.kind) {
    case ActionKind::Nothing:
      return L"Nothing";
    case ActionKind::ShowDesktop:
      return L"Show the desktop";
    case ActionKind::AutomationCommand:
      return std::wstring(kEasiteachWords[static_cast<int>(action.command)]) + L" (Easiteach)";
    case ActionKind::Keys:
      return FormatKeyCombination(action.keys);
    case ActionKind::Program:
      return WithArguments(L"Start " + action.target, action.arguments);
    case ActionKind::Open:
      return WithArguments(L"Open " + action.target, action.arguments);
    case ActionKind::Keyboard:
      return L"On-screen keyboard";
    case ActionKind::RightClickNext:
      return L"Right-click the next touch";
    case ActionKind::CheckCalibration:
      return L"Check the calibration";
    case ActionKind::CalibrateScreen:
      return L"Calibrate this screen";
    case ActionKind::GestureShortcut:
      break;
  }
  return L"The gesture's own shortcut";
}

std::wstring StartResultWords(StartResult result) {
  switch (result) {
    case StartResult::Started:
      return L"started";
    case StartResult::NotFound:
      return L"not found";
    case StartResult::Failed:
      break;
  }
  return L"it would not start";
}

std::wstring FailureNotice(Trigger trigger, const ButtonAction& action, StartResult result) {
  const std::wstring who = TriggerWords(trigger);
  switch (action.kind) {
    case ActionKind::AutomationCommand:
      if (result == StartResult::NotFound) {
        return who + L" is set to an Easiteach command, but Easiteach is not installed." + kChangeIt;
      }
      return who + L" is set to an Easiteach command, but Easiteach would not start." + kChangeIt;
    case ActionKind::Program:
    case ActionKind::Keyboard:
      return who + L" is set to start a program, but " + (result == StartResult::NotFound ? L"it was not found: "
                                                                                          : L"it would not start: ") +
             (action.kind == ActionKind::Program ? action.target : std::wstring(kOnScreenKeyboardProgram)) + L"." +
             kChangeIt;
    default:
      break;
  }
  return who + L" is set to open " + action.target + L", but " +
         (result == StartResult::NotFound ? L"it was not found." : L"it would not open.") + kChangeIt;
}

}  // namespace velno
