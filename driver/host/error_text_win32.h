// The system's own words for an error number, for messages and event log entries.
#pragma once

#include <cstdint>
#include <string>

namespace velno {

// "Access is denied." for 5, say; a sentence with the number for an error the system has no words for.
std::wstring ErrorText(std::uint32_t error);

}  // namespace velno
