// Key combinations an action sends: "Ctrl+Z", "Win+Shift+S", "Page Down", "F5". Modifiers go down in the
// order they are written, then the key goes down and up, then the modifiers come up in reverse order, all
// in one SendInput call, so that no other input comes between.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/input_records.h"
#include "platform/key_output.h"

namespace velno {

inline constexpr std::uint16_t kVkShift = 0x10;
inline constexpr std::uint16_t kVkControl = 0x11;
inline constexpr std::uint16_t kVkAlt = 0x12;
inline constexpr std::uint16_t kVkLeftWin = 0x5B;

inline constexpr int kMaxModifiers = 4;

struct KeyCombination {
  std::array<std::uint16_t, kMaxModifiers> modifiers{};  // virtual keys, in the order they go down
  std::uint8_t modifierCount = 0;
  std::uint16_t key = 0;  // virtual key; 0: no combination

  friend bool operator==(const KeyCombination&, const KeyCombination&) = default;
};

// Names joined by "+", in any case, spaces around them ignored: Ctrl (Control), Shift, Alt, Win (Windows)
// first, each once, then one key: a letter, a digit, F1..F24, Esc, Enter, Tab, Space, Backspace, Delete,
// Insert, Home, End, Page Up, Page Down, Left, Right, Up, Down, Print Screen. nullopt for anything else.
std::optional<KeyCombination> ParseKeyCombination(std::wstring_view text);
// The words ParseKeyCombination reads back: "Ctrl+Shift+S", "Page Down".
std::wstring FormatKeyCombination(const KeyCombination& keys);

// The records of one combination: its presses, then its releases in reverse order.
struct KeyRecords {
  std::array<InputRecord, kMaxInputRecords> records{};
  std::uint32_t count = 0;
};
KeyRecords RecordsOf(const KeyCombination& keys);

// The releases of the keys that `sent` leading records left pressed, the last pressed first.
KeyRecords ReleasesAfter(const InputRecord* records, std::uint32_t sent);

// Sends the combination in one call. When fewer records went through than were given, the keys they left
// down are released in a second call, so that no Ctrl stays stuck for the teacher's next stroke. Returns
// how many records of the combination went through.
std::uint32_t SendKeyCombination(KeyOutput& keys, const KeyCombination& combination);

// The same rule for any prepared records: one call, and the keys left down released on a short send.
std::uint32_t SendReleasingOnFailure(KeyOutput& keys, const InputRecord* records, std::uint32_t count);

}  // namespace velno
