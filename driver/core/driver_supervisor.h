// The driver's main loop: binds the shared-state library, then polls the two board slots until the
// service's stop event is set.
#pragma once

#include "driver.h"

namespace velno {

inline constexpr std::uint32_t kPassSleepMs = 2000;
inline constexpr std::uint32_t kEmptySlotSleepMs = 2000;
inline constexpr std::uint32_t kReaderStartSleepMs = 100;
inline constexpr std::uint32_t kStopGraceMs = 200;

void RunDriver(Driver& driver);

}  // namespace velno
