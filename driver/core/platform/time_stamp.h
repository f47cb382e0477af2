// The clock reading that every press duration is measured with.
#pragma once

#include <cstdint>

#include "platform/platform_types.h"

namespace velno {

// (to.seconds - from.seconds) * 1000 + to.milliseconds - from.milliseconds, in signed 32-bit milliseconds.
std::int32_t ElapsedMilliseconds(const TimeStamp& from, const TimeStamp& to);

}  // namespace velno
