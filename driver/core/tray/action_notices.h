// The notifications of actions that did not start: one per trigger and driver run, naming the button
// and where to change its action. Taken on the icon's thread from what the readers left in
// ActionRequests.
#pragma once

#include <vector>

#include "actions/action_requests.h"
#include "actions/button_actions.h"
#include "tray/status_notices.h"

namespace velno {

// The notices not yet told, each marked told; `actions` is the table in effect, whose words they give.
std::vector<StatusNotice> TakeActionNotices(ActionRequests& requests, const ButtonActionTable& actions);

}  // namespace velno
