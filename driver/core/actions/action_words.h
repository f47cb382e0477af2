// Plain words for triggers and actions, as the settings window, the notifications and the event log give
// them: "Button 3", "Undo (Easiteach)", "Start C:\Tools\x.exe".
#pragma once

#include <string>

#include "actions/button_actions.h"
#include "actions/trigger.h"
#include "platform/program_starter.h"

namespace velno {

// "Button 3", "Button 5 held", "Touch button 2" (counted from 1, as printed), "Small gesture".
std::wstring TriggerWords(Trigger trigger);
// "Undo (Easiteach)", "Ctrl+Z", "Start x.exe /a", "Open https://...", "Nothing".
std::wstring ActionWords(const ButtonAction& action);
std::wstring StartResultWords(StartResult result);

// The notification of a trigger whose action did not start: what, why, and where to change it.
std::wstring FailureNotice(Trigger trigger, const ButtonAction& action, StartResult result);

}  // namespace velno
