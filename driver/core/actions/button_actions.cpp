#include "actions/button_actions.h"

#include "actions/action_words.h"

namespace velno {
namespace {

constexpr std::uint16_t kVkD = 'D';
constexpr std::uint16_t kVkPrior = 0x21;
constexpr int kWinDEntry = 0;

std::uint32_t SendEntry(KeyOutput& keys, const ShortcutEntry& entry) {
  return SendReleasingOnFailure(keys, entry.records.data(), entry.count);
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

ButtonAction Command(EasiteachCommand command) { return EasiteachAction(command); }
TriggerActions Runs(ButtonAction press) { return {press, {}}; }

ButtonActionTable MakeDefaults() {
  const TriggerActions desktop = Runs(KindAction(ActionKind::ShowDesktop));
  const TriggerActions newPage = Runs(Command(EasiteachCommand::New));
  const TriggerActions saveAs = Runs(Command(EasiteachCommand::SaveAs));
  const TriggerActions undo = Runs(Command(EasiteachCommand::Undo));
  const TriggerActions redo = Runs(Command(EasiteachCommand::Redo));
  ButtonAction pageUp = KindAction(ActionKind::Keys);
  pageUp.keys.key = kVkPrior;
  const TriggerActions select = {Command(EasiteachCommand::Select), pageUp};
  const TriggerActions black = Runs(Command(EasiteachCommand::BlackPen));
  const TriggerActions red = Runs(Command(EasiteachCommand::RedPen));
  const TriggerActions blue = Runs(Command(EasiteachCommand::BluePen));
  const TriggerActions eraser = Runs(Command(EasiteachCommand::Eraser));
  const TriggerActions nothing = {};
  const ButtonAction gesture = KindAction(ActionKind::GestureShortcut);
  // Board button 10 does nothing and 11 to 15 start the row again; the printed touch buttons run the same
  // ten actions twice over.
  return {
      {desktop, newPage, saveAs, undo, redo, select, black, red, blue, eraser, nothing, desktop, newPage, saveAs, undo,
       redo},
      {desktop, newPage, saveAs, undo, redo, select, black, red, blue, eraser, desktop, newPage, saveAs, undo, redo,
       select, black, red, blue, eraser},
      {gesture, gesture, gesture},
  };
}

constexpr const wchar_t* kAutomationWords[kEasiteachCommandCount] = {
    L"Application New",   L"Application SaveAs", L"Document Undo",   L"Document Redo",  L"Drawing Tool Select",
    L"Drawing Pen Black", L"Drawing Pen Red",    L"Drawing Pen Blue", L"Drawing Eraser",
};

StartResult StartAction(ProgramStarter& programs, const ButtonAction& action) {
  switch (action.kind) {
    case ActionKind::AutomationCommand:
      return programs.StartProgram(kAutomationProgram, AutomationWords(action.command), true);
    case ActionKind::Program:
      return programs.StartProgram(action.target, action.arguments, false);
    case ActionKind::Open:
      return programs.Open(action.target, action.arguments);
    case ActionKind::Keyboard:
      return programs.StartProgram(kOnScreenKeyboardProgram, L"", false);
    default:
      return StartResult::Started;
  }
}

// The first failure of a trigger in this run goes to the event log and, through the icon's thread, to
// the teacher; later ones of the same trigger are the same news.
void ReportFailure(const ActionOutputs& outputs, Trigger trigger, const ButtonAction& action, StartResult result) {
  const int index = TriggerIndex(trigger);
  StartResult none = StartResult::Started;
  if (!outputs.requests.failure[index].compare_exchange_strong(none, result)) return;
  outputs.log.WriteEventLog(LogEvent::ActionNotStarted,
                            {TriggerWords(trigger), ActionWords(action), StartResultWords(result)});
  if (outputs.wake) outputs.wake();
}

void RequestTool(const ActionOutputs& outputs, ToolRequest tool) {
  outputs.requests.tool.store(tool);
  if (outputs.wake) outputs.wake();
}

}  // namespace

const ButtonActionTable& DefaultButtonActions() {
  static const ButtonActionTable defaults = MakeDefaults();
  return defaults;
}

const ButtonAction& ActionOf(const ButtonActionTable& table, Trigger trigger) {
  switch (trigger.kind) {
    case TriggerKind::BoardButton: {
      const TriggerActions& t = table.boardButtons[trigger.number];
      return trigger.longPress ? t.longPress : t.press;
    }
    case TriggerKind::TouchButton: {
      const TriggerActions& t = table.touchButtons[trigger.number];
      return trigger.longPress ? t.longPress : t.press;
    }
    case TriggerKind::Gesture:
      break;
  }
  return table.gestures[trigger.number];
}

ButtonAction& ActionOf(ButtonActionTable& table, Trigger trigger) {
  return const_cast<ButtonAction&>(ActionOf(static_cast<const ButtonActionTable&>(table), trigger));
}

const wchar_t* AutomationWords(EasiteachCommand command) { return kAutomationWords[static_cast<int>(command)]; }

std::uint32_t SendShortcut(KeyOutput& keys, ShortcutTable& table, int k) {
  BuildShortcutTable(table);
  return SendEntry(keys, table.entries[k]);
}

void RunButtonAction(const ActionOutputs& outputs, ShortcutTable& table, Trigger trigger, const ButtonAction& action) {
  switch (action.kind) {
    case ActionKind::Nothing:
      break;
    case ActionKind::ShowDesktop:
      ShowDesktop(outputs.keys, table);
      break;
    case ActionKind::Keys:
      SendKeyCombination(outputs.keys, action.keys);
      break;
    case ActionKind::GestureShortcut:
      SendShortcut(outputs.keys, table, kGestureSmallEntry + trigger.number);
      break;
    case ActionKind::RightClickNext:
      outputs.requests.rightClickNext.store(true);
      break;
    case ActionKind::CheckCalibration:
      RequestTool(outputs, ToolRequest::CheckCalibration);
      break;
    case ActionKind::CalibrateScreen:
      RequestTool(outputs, ToolRequest::CalibrateThisScreen);
      break;
    case ActionKind::AutomationCommand:
    case ActionKind::Program:
    case ActionKind::Open:
    case ActionKind::Keyboard:
      if (const StartResult result = StartAction(outputs.programs, action); result != StartResult::Started) {
        ReportFailure(outputs, trigger, action, result);
      }
      break;
  }
}

void RunTriggerActions(const ActionOutputs& outputs, ShortcutTable& table, const ButtonActionTable& actions,
                       Trigger trigger, bool longPress) {
  NoteTriggerSent(outputs.requests, trigger);
  RunButtonAction(outputs, table, trigger, ActionOf(actions, trigger));
  if (longPress) {
    trigger.longPress = true;
    NoteTriggerSent(outputs.requests, trigger);
    RunButtonAction(outputs, table, trigger, ActionOf(actions, trigger));
  }
}

}  // namespace velno
