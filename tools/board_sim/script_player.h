// Plays compiled board actions over a BoardLink, pacing the sends and carrying out the waits.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "board_actions.h"
#include "simulated_link.h"
#include "event_log.h"

namespace board_sim {

enum class PlayOutcome {
  Finished,
  WaitTimedOut,  // a wait-handshake or wait-bytes ran out of time
  SendFailed,    // the host left the queue full for the whole write time-out
};

struct PlayResult {
  PlayOutcome outcome;
  int line;  // script line of the failing action; 0 when finished
};

// `onPortChanged` gets the new slave path after each replug, and an empty path before each unplug
// closes the terminal (to re-point the COM link).
PlayResult PlayScript(const std::vector<BoardAction>& actions, BoardLink& link, EventLog& log,
                      const std::function<void(const std::string& slavePath)>& onPortChanged);

}  // namespace board_sim
