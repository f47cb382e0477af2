#include "actions/shortcut_table.h"

namespace velno {
namespace {

constexpr std::uint16_t kVkControl = 0x11;
constexpr std::uint16_t kVkShift = 0x10;
constexpr std::uint16_t kVkPrior = 0x21;
constexpr std::uint16_t kVkNext = 0x22;
constexpr std::uint16_t kVkEnd = 0x23;
constexpr std::uint16_t kVkHome = 0x24;
constexpr std::uint16_t kVkF13 = 0x7C;

void SetCtrlShift(ShortcutEntry& e, std::uint16_t key) {
  e.records = {KeyPress(kVkControl), KeyPress(kVkShift), KeyPress(key),
               KeyRelease(key),      KeyRelease(kVkShift), KeyRelease(kVkControl)};
  e.count = 6;
}

// Replaces k of a Ctrl+Shift+k entry (its press and its release).
void SetKey(ShortcutEntry& e, std::uint16_t key) {
  e.records[2].key = key;
  e.records[3].key = key;
}

// Clears an entry and fills it with the given records; its index is set again.
template <std::size_t N>
void Fill(ShortcutEntry& e, int i, const std::array<InputRecord, N>& records) {
  e = ShortcutEntry{};
  for (std::size_t r = 0; r < N; ++r) e.records[r] = records[r];
  e.count = N;
  e.index = i;
}

// Ctrl is released before the letter in these, as the programs they drive expect.
std::array<InputRecord, 4> CtrlLetter(std::uint16_t letter) {
  return {KeyPress(kVkControl), KeyPress(letter), KeyRelease(kVkControl), KeyRelease(letter)};
}

std::array<InputRecord, 2> Tap(std::uint16_t key) { return {KeyPress(key), KeyRelease(key)}; }

}  // namespace

void BuildShortcutTable(ShortcutTable& table) {
  table = ShortcutTable{};
  for (int i = 0; i < 40; ++i) {
    ShortcutEntry& e = table.entries[i];
    SetCtrlShift(e, static_cast<std::uint16_t>('0' + i % 10));
    e.index = i;
  }
  auto key = [&](int i, std::uint16_t vk) { SetKey(table.entries[i], vk); };
  for (int k = 0; k < 5; ++k) {  // F13..F17
    key(k, static_cast<std::uint16_t>(kVkF13 + k));
    key(16 + k, static_cast<std::uint16_t>(kVkF13 + k));
  }
  for (int k = 0; k < 4; ++k) {  // F18..F21
    key(8 + k, static_cast<std::uint16_t>(kVkF13 + 5 + k));
    key(24 + k, static_cast<std::uint16_t>(kVkF13 + 5 + k));
  }
  for (int k = 0; k < 2; ++k) {  // F22, F23
    key(13 + k, static_cast<std::uint16_t>(kVkF13 + 9 + k));
    key(29 + k, static_cast<std::uint16_t>(kVkF13 + 9 + k));
  }
  for (int k = 0; k < 3; ++k) key(37 + k, static_cast<std::uint16_t>(kVkF13 + 9 + k));  // F22..F24

  auto& t = table.entries;
  Fill(t[5], 5, CtrlLetter('N'));
  Fill(t[21], 21, CtrlLetter('N'));
  Fill(t[6], 6, Tap(kVkPrior));
  Fill(t[22], 22, Tap(kVkPrior));
  Fill(t[7], 7, Tap(kVkNext));
  Fill(t[23], 23, Tap(kVkNext));
  Fill(t[12], 12, CtrlLetter('P'));
  Fill(t[28], 28, CtrlLetter('P'));
  Fill(t[32], 32, Tap(kVkHome));
  Fill(t[33], 33, Tap(kVkEnd));
  Fill(t[34], 34,
       std::array{MouseButton(kMouseLeftDown), MouseButton(kMouseLeftUp), MouseButton(kMouseLeftDown),
                  MouseButton(kMouseLeftUp)});
  // Their records stay filled (Ctrl+Shift+5 and +6) but nothing of them is sent.
  t[35].count = 0;
  t[36].count = 0;
}

}  // namespace velno
