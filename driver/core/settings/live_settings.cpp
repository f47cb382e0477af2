#include "settings/live_settings.h"

#include <string>

#include "actions/action_text.h"

namespace velno {
namespace {

void PutIntoEffect(const SharedState& sharedState, LiveSettings& live, const TeacherSettings& settings) {
  sharedState.IsUsingGesture(settings.gestures ? 1 : 0);
  sharedState.SetGestureBrush(settings.gestureBrush);
  sharedState.SetGestureErase(settings.gestureErase);
  live.rightClickAfterMs.store(settings.pressAndHold ? settings.holdMs : kHoldOff);
  live.current = settings;
}

// "PressAndHoldSeconds=abc (10 used)", one after the other.
std::wstring RefusedList(const std::vector<RefusedValue>& refused) {
  std::wstring list;
  for (const RefusedValue& r : refused) {
    if (!list.empty()) list += L", ";
    list += r.key + L"=" + r.value + L" (" + r.usedInstead + L" used)";
  }
  return list;
}

// "Button3=keys Ctrl+Q+Z", "GestureSmall=wave", one after the other.
std::wstring RefusedList(const std::vector<RefusedAction>& refused) {
  std::wstring list;
  for (const RefusedAction& r : refused) {
    if (!list.empty()) list += L", ";
    list += r.key + L"=" + r.value;
  }
  return list;
}

}  // namespace

void StartSettings(SettingsStore& store, EventLog& log, const SharedState& sharedState, LiveSettings& live) {
  const TeacherSettingsRead read = ReadTeacherSettings(store);
  if (!read.refused.empty()) log.WriteEventLog(LogEvent::SettingsRefused, {RefusedList(read.refused)});
  ButtonActionsRead actions = ReadButtonActions(store);
  if (!actions.refused.empty()) log.WriteEventLog(LogEvent::ActionsRefused, {RefusedList(actions.refused)});
  live.buttonActions.Replace(std::move(actions.table));
  std::lock_guard guard(live.lock);
  PutIntoEffect(sharedState, live, read.settings);
}

TeacherSettings CurrentSettings(const SharedState& sharedState, LiveSettings& live) {
  std::lock_guard guard(live.lock);
  TeacherSettings settings = live.current;
  settings.gestures = GesturesEnabled(sharedState);
  settings.gestureBrush = sharedState.GetGestureBrush();
  settings.gestureErase = sharedState.GetGestureErase();
  return settings;
}

void ChangeSettings(SettingsStore& store, const SharedState& sharedState, LiveSettings& live,
                    const TeacherSettings& changed) {
  std::lock_guard guard(live.lock);
  PutIntoEffect(sharedState, live, changed);
  store.Save(TeacherSettingsWrites(changed));
}

bool ChangeButtonActions(SettingsStore& store, LiveSettings& live, const ButtonActionTable& changed) {
  std::lock_guard guard(live.lock);
  const std::shared_ptr<const ButtonActionTable> before = live.buttonActions.Current();
  live.buttonActions.Replace(changed);
  return store.Save(ButtonActionWrites(*before, changed));
}

}  // namespace velno
