// The clock reading that every press duration is measured with.
#pragma once

#include <cstdint>

namespace velno {

class DriverPlatform;

// Whole seconds of time() and the milliseconds field of the local time, read one after the other. The
// two fields come from two readings and are only ever combined by ElapsedMilliseconds.
struct TimeStamp {
  std::int32_t seconds;
  std::int32_t milliseconds;
};

TimeStamp TakeTimeStamp(DriverPlatform& platform);

// (to.seconds - from.seconds) * 1000 + to.milliseconds - from.milliseconds, in signed 32-bit milliseconds.
std::int32_t ElapsedMilliseconds(const TimeStamp& from, const TimeStamp& to);

}  // namespace velno
