// The 40 prepared input sequences of one board: gesture shortcuts, Page Up for a long press, Win+D.
#pragma once

#include <array>
#include <cstdint>

#include "platform/input_records.h"

namespace velno {

// The records of the longest entry, Ctrl+Shift+key.
inline constexpr std::uint32_t kShortcutRecords = 6;

struct ShortcutEntry {
  std::array<InputRecord, kShortcutRecords> records;
  std::uint32_t count;  // leading records that are sent
  std::int32_t index;   // the entry's own position
};

struct ShortcutTable {
  std::array<ShortcutEntry, 40> entries;
};

inline constexpr int kPageUpEntry = 6;
inline constexpr int kGestureSmallEntry = 37;
inline constexpr int kGestureMediumEntry = 38;
inline constexpr int kGestureLargeEntry = 39;

void BuildShortcutTable(ShortcutTable& table);

}  // namespace velno
