// The driver's main loop: binds the shared-state library, then polls the two board slots until the
// service's stop event is set.
#pragma once

#include <functional>

#include "driver.h"

namespace velno {

inline constexpr std::uint32_t kPassSleepMs = 2000;
inline constexpr std::uint32_t kEmptySlotSleepMs = 2000;
inline constexpr std::uint32_t kReaderStartSleepMs = 100;
inline constexpr std::uint32_t kStopGraceMs = 200;

// `windowsStart` runs once the library is bound, the stop event open and the teacher's settings in effect,
// before the first search for a board: where the driver's windows begin.
void RunDriver(Driver& driver, const std::function<void()>& windowsStart = {});

}  // namespace velno
