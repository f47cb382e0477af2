// A DriverPlatform that records every call the core makes, for tests to assert on.
#pragma once

#include <cstdint>
#include <vector>

#include "driver_platform.h"

namespace velno::testing {

struct MouseCall {
  std::uint32_t flags;
  std::int32_t x;
  std::int32_t y;

  friend bool operator==(const MouseCall&, const MouseCall&) = default;
};

class RecordingPlatform : public DriverPlatform {
 public:
  void InjectMouse(std::uint32_t flags, std::int32_t x, std::int32_t y) override { mouse.push_back({flags, x, y}); }

  std::vector<MouseCall> mouse;
};

}  // namespace velno::testing
