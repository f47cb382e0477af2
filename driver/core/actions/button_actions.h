// The actions that board buttons run: showing the desktop, commands of the presentation program, and
// sending the prepared sequences of a board's shortcut table.
#pragma once

#include <cstdint>

#include "actions/shortcut_table.h"

namespace velno {

class DriverPlatform;

// The presentation program's automation executable; the platform's program search finds it.
inline constexpr const char* kAutomationProgram = "LightboxEducation.Easiteach.Automation.exe";
inline constexpr std::int32_t kLongPressMilliseconds = 600;

// Rebuilds the whole table, then sends entry k (0..39) with one SendInput call; returns its result.
std::uint32_t SendShortcut(DriverPlatform& platform, ShortcutTable& table, int k);

// 0 and 11 show the desktop (Win+D, written into entry 0 and sent from there); 1..9 and 12..20 run one
// command of the presentation program; every other index does nothing. Returns the index.
std::int32_t RunButtonAction(DriverPlatform& platform, ShortcutTable& table, std::int32_t index);

// A long press on 5 or 16 (Tool Select) also turns back a page: entry 6, Page Up. Returns the index.
std::int32_t RunLongPressAction(DriverPlatform& platform, ShortcutTable& table, std::int32_t index);

}  // namespace velno
