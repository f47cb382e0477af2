// Time: the clock every press and run is measured with, and the waits of the driver's loops.
#pragma once

#include <cstdint>

#include "platform/platform_types.h"

namespace velno {

class Clock {
 public:
  virtual ~Clock() = default;

  virtual TimeStamp ReadClock() = 0;
  // Milliseconds since some fixed moment, never stepping back: for intervals that a change of the
  // wall clock must not stretch or shrink (the presses keep ReadClock's stamps).
  virtual std::uint64_t ReadMonotonicMs() = 0;
  virtual void Sleep(std::uint32_t milliseconds) = 0;
};

}  // namespace velno
