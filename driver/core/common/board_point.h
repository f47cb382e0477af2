// A position on the board or on the screen, in whole units.
#pragma once

#include <cstdint>

namespace velno {

struct BoardPoint {
  std::int32_t x;
  std::int32_t y;

  friend bool operator==(const BoardPoint&, const BoardPoint&) = default;
};

}  // namespace velno
