// The Windows event log's source "VelnoDriver": registered for the program file, whose message table
// holds the events' words, and the events reported to it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/log_events.h"

namespace velno {

// Registers the source for the program file `programPath` (a full path): 0, or the error.
std::uint32_t AddEventSource(const std::wstring& programPath);
// Removes the source; 0 also when it was not registered, otherwise the error.
std::uint32_t RemoveEventSource();

// One event with its words, in the log "Application". Nothing happens when the log cannot be reached.
void ReportToEventLog(LogEvent event, const std::vector<std::wstring>& words);

}  // namespace velno
