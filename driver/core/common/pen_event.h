// The event a pen report becomes once past the warm-up.
#pragma once

#include <cstdint>

namespace velno {

enum PenEvent : std::uint8_t {
  kPenMove = 0,
  kPenPress = 0xFA,    // the left button goes down
  kPenRelease = 0xFC,  // the left button comes up
};

}  // namespace velno
