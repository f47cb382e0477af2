// What the settings window's Buttons page shows and how its buttons change the actions, apart from any
// window: one line per trigger with its action in plain words, and the choices a pen steps through (no
// typing: a program or web address comes from config.ini and stays among the choices of its trigger).
#pragma once

#include <string>
#include <vector>

#include "actions/button_actions.h"
#include "actions/trigger.h"

namespace velno {

// "Button 3: Undo (Easiteach)"; an action that did not start in this run says so: "Button 3 (failed): ...".
std::wstring TriggerLine(Trigger trigger, const ButtonAction& action, bool failed);

// The actions a trigger can be given from the window, in the order of the steps: nothing, the desktop, the
// Easiteach commands, common key combinations, the built-ins, the gesture's own shortcut for a gesture, and
// the trigger's action when the window opened (`kept`: a program IT set stays within reach) and its current
// one, when they are none of these.
std::vector<ButtonAction> ActionChoices(Trigger trigger, const ButtonAction& kept, const ButtonAction& current);

// The next (+1) or previous (-1) choice after `current`, round the list.
ButtonAction StepAction(Trigger trigger, const ButtonAction& kept, const ButtonAction& current, int direction);

// The line of the trigger the board sent last (ActionRequests::lastSent), or -1.
int SentTriggerLine(std::uint32_t lastSent);

}  // namespace velno
