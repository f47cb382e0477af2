#include "settings/live_settings.h"

#include <string>

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

}  // namespace

void StartSettings(SettingsStore& store, EventLog& log, const SharedState& sharedState, LiveSettings& live) {
  const TeacherSettingsRead read = ReadTeacherSettings(store);
  if (!read.refused.empty()) log.WriteEventLog(LogEvent::SettingsRefused, {RefusedList(read.refused)});
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

}  // namespace velno
