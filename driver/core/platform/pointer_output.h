// The pointer: absolute moves and left-button presses and releases, and the busy cursor of a held pen.
#pragma once

#include <cstdint>

#include "platform/input_records.h"
#include "platform/platform_types.h"

namespace velno {

class PointerOutput {
 public:
  virtual ~PointerOutput() = default;

  // One mouse_event call; flags from input_records.h, coordinates in absolute input units.
  virtual void InjectMouse(std::uint32_t flags, std::int32_t x, std::int32_t y) = 0;
  // Sets the system's busy cursor; returns the cursor it replaced.
  virtual CursorHandle ShowBusyCursor() = 0;
  virtual void RestoreCursor(CursorHandle cursor) = 0;
};

}  // namespace velno
