// Portable mirrors of the platform's input records and flags; the Win32 side turns them into INPUT
// records for SendInput and mouse_event calls.
#pragma once

#include <cstdint>

namespace velno {

// mouse_event / MOUSEINPUT flags.
inline constexpr std::uint32_t kMouseMove = 0x0001;
inline constexpr std::uint32_t kMouseLeftDown = 0x0002;
inline constexpr std::uint32_t kMouseLeftUp = 0x0004;
inline constexpr std::uint32_t kMouseRightDown = 0x0008;
inline constexpr std::uint32_t kMouseRightUp = 0x0010;
inline constexpr std::uint32_t kMouseVirtualDesk = 0x4000;  // absolute units span the virtual screen
inline constexpr std::uint32_t kMouseAbsolute = 0x8000;

// Record kinds, as the platform numbers them.
inline constexpr std::uint32_t kInputMouse = 0;
inline constexpr std::uint32_t kInputKeyboard = 1;

inline constexpr std::uint32_t kKeyUp = 0x0002;

// The most records one SendInput call carries: a key combination of four modifiers and a key.
inline constexpr std::uint32_t kMaxInputRecords = 10;

// One record: a key press or release (key = virtual key, flags 0 or kKeyUp) or a mouse button event at
// the cursor (key = 0, flags = mouse flags). All-zero past an entry's count.
struct InputRecord {
  std::uint32_t type;
  std::uint16_t key;
  std::uint32_t flags;

  friend bool operator==(const InputRecord&, const InputRecord&) = default;
};

constexpr InputRecord KeyPress(std::uint16_t vk) { return {kInputKeyboard, vk, 0}; }
constexpr InputRecord KeyRelease(std::uint16_t vk) { return {kInputKeyboard, vk, kKeyUp}; }
constexpr InputRecord MouseButton(std::uint32_t flags) { return {kInputMouse, 0, flags}; }

}  // namespace velno
