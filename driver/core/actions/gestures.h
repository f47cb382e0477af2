// Gesture recognition: the bounding box of a stroke's first 20 samples picks one of three keyboard
// shortcuts (entries 37..39 of the board's table), sent once per stroke.
#pragma once

#include <cstdint>

#include "common/pen_event.h"
#include "actions/button_actions.h"
#include "actions/shortcut_table.h"
#include "platform/shared_state.h"

namespace velno {

// One board's stroke so far. A box value of 0 counts as not yet set. Kept per board, so that two
// boards' strokes never mix into one box.
struct GestureBox {
  std::int32_t sampleCount = 0;  // 0..20
  std::int32_t minX = 0;
  std::int32_t minY = 0;
  std::int32_t maxX = 0;
  std::int32_t maxY = 0;
};

inline constexpr std::int32_t kGestureSamples = 20;

// x, y: the report's decoded position, before smoothing. Called only while gesture recognition is on;
// the library gives the area thresholds. A recognised stroke runs its gesture's action from `actions`.
void TrackGesture(const ActionOutputs& outputs, const LiveButtonActions& actions, const SharedState& sharedState,
                  GestureBox& box, ShortcutTable& shortcuts, std::int32_t x, std::int32_t y, PenEvent event);

}  // namespace velno
