#include "platform/time_stamp.h"

namespace velno {

std::int32_t ElapsedMilliseconds(const TimeStamp& from, const TimeStamp& to) {
  // Worked in unsigned 32-bit so that a stamp of zero against today's clock (seconds * 1000 is far
  // past the 32-bit range) wraps as 32-bit arithmetic does instead of being undefined.
  const std::uint32_t seconds = static_cast<std::uint32_t>(to.seconds) - static_cast<std::uint32_t>(from.seconds);
  const std::uint32_t ms = seconds * 1000u + static_cast<std::uint32_t>(to.milliseconds) -
                           static_cast<std::uint32_t>(from.milliseconds);
  return static_cast<std::int32_t>(ms);
}

}  // namespace velno
