// The monitors as the pointer output needs them: the primary one, the virtual screen that spans them all,
// and the monitor an extended-screen calibration is made on.
#pragma once

#include <cstdint>

namespace velno {

// A rectangle in virtual-desktop pixels; right and bottom are exclusive.
struct DisplayRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;

  friend bool operator==(const DisplayRect&, const DisplayRect&) = default;
};

struct DisplayLayout {
  DisplayRect primary;
  DisplayRect virtualScreen;
  // The last non-primary monitor of the enumeration, as the calibration tool picks the monitor of an
  // extended pass; absent on a single screen.
  bool hasExtendMonitor = false;
  DisplayRect extendMonitor;

  friend bool operator==(const DisplayLayout&, const DisplayLayout&) = default;
};

}  // namespace velno
