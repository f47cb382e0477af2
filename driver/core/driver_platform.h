// What the driver core needs from the platform. The Win32 side implements it for real; unit tests
// implement it with recording fakes. Nothing in the core calls the platform any other way.
#pragma once

#include <cstdint>

namespace velno {

class DriverPlatform {
 public:
  virtual ~DriverPlatform() = default;

  // Pointer input: one mouse_event call with these flags and absolute input units.
  virtual void InjectMouse(std::uint32_t flags, std::int32_t x, std::int32_t y) = 0;
};

}  // namespace velno
