// What sets off an action: a board button, a touch button, each released or held long, or a gesture.
#pragma once

#include <cstdint>

namespace velno {

inline constexpr int kBoardButtonCount = 16;
// Touch buttons past these run nothing.
inline constexpr int kTouchButtonActionCount = 20;
inline constexpr int kGestureCount = 3;  // small, medium, large

enum class TriggerKind : std::uint8_t { BoardButton, TouchButton, Gesture };

struct Trigger {
  TriggerKind kind = TriggerKind::BoardButton;
  int number = 0;  // board button 0..15, place in the touch-button list 0..19, gesture 0..2
  bool longPress = false;

  friend bool operator==(const Trigger&, const Trigger&) = default;
};

// Every trigger once: each board button and touch button with its long press, then the gestures.
inline constexpr int kTriggerCount = 2 * kBoardButtonCount + 2 * kTouchButtonActionCount + kGestureCount;

// 0..kTriggerCount-1, in the order of the settings window's list: the board buttons, the touch buttons,
// the gestures, each press followed by its long press.
constexpr int TriggerIndex(Trigger t) {
  switch (t.kind) {
    case TriggerKind::BoardButton:
      return 2 * t.number + (t.longPress ? 1 : 0);
    case TriggerKind::TouchButton:
      return 2 * kBoardButtonCount + 2 * t.number + (t.longPress ? 1 : 0);
    case TriggerKind::Gesture:
      break;
  }
  return 2 * kBoardButtonCount + 2 * kTouchButtonActionCount + t.number;
}

constexpr Trigger TriggerAt(int index) {
  if (index < 2 * kBoardButtonCount) return {TriggerKind::BoardButton, index / 2, index % 2 == 1};
  index -= 2 * kBoardButtonCount;
  if (index < 2 * kTouchButtonActionCount) return {TriggerKind::TouchButton, index / 2, index % 2 == 1};
  return {TriggerKind::Gesture, index - 2 * kTouchButtonActionCount, false};
}

}  // namespace velno
