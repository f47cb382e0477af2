// The Windows event log, where IT reads why a board "does not work".
#pragma once

#include <string>
#include <vector>

#include "platform/log_events.h"

namespace velno {

class EventLog {
 public:
  virtual ~EventLog() = default;

  // One event with the words of its message.
  virtual void WriteEventLog(LogEvent event, const std::vector<std::wstring>& words) = 0;
};

}  // namespace velno
