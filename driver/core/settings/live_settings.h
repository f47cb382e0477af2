// The teacher's settings while the driver runs: read at its start, changed by the settings window, in
// effect at once and saved at once. The pen's reader threads see the press-and-hold time through one
// atomic value and never wait for the window.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "actions/button_actions.h"
#include "platform/event_log.h"
#include "platform/settings_store.h"
#include "platform/shared_state.h"
#include "settings/teacher_settings.h"

namespace velno {

// What rightClickAfterMs holds while press-and-hold is off.
inline constexpr std::int32_t kHoldOff = 0;

struct LiveSettings {
  std::mutex lock;  // the window's changes, one at a time
  TeacherSettings current;
  std::atomic<std::int32_t> rightClickAfterMs{kHoldMaxMs};
  LiveButtonActions buttonActions;
};

// At the driver's start, once the library is bound: reads the settings, reports the values it could not
// take in one event (and the button actions it could not read in another), and puts them into effect (the
// library's gesture flag and sizes, the hold time, the button actions).
void StartSettings(SettingsStore& store, EventLog& log, const SharedState& sharedState, LiveSettings& live);

// The settings as they are now; the gesture flag and sizes as the library holds them, which other
// programs may change too.
TeacherSettings CurrentSettings(const SharedState& sharedState, LiveSettings& live);

// Puts `changed` into effect and saves every key of it in one save.
void ChangeSettings(SettingsStore& store, const SharedState& sharedState, LiveSettings& live,
                    const TeacherSettings& changed);

// Puts a whole new table of button actions into effect and saves it in one save; false when the file
// could not take it (the store has logged why), the actions still in effect until the driver ends.
bool ChangeButtonActions(SettingsStore& store, LiveSettings& live, const ButtonActionTable& changed);

}  // namespace velno
