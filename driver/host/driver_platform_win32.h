// The Win32 side of the driver's platform seam.
#pragma once

#include "driver_platform.h"

namespace velno {

class Win32DriverPlatform : public DriverPlatform {
 public:
  void InjectMouse(std::uint32_t flags, std::int32_t x, std::int32_t y) override;
};

}  // namespace velno
