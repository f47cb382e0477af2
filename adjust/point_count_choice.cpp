#include "point_count_choice.h"

#include <array>
#include <utility>

#include "board_facts.h"

namespace adjust {
namespace {

// Control number and count. The buttons' numbers do not follow their counts: 16 Points is 1010 and
// 12 Points 1012.
constexpr std::array<std::pair<int, std::uint32_t>, 7> kCountButtons{{
    {1007, 4}, {1008, 6}, {1009, 9}, {1012, 12}, {1010, 16}, {1014, 20}, {1013, 25}}};

}  // namespace

std::uint32_t CountForButton(int controlId) {
  for (const auto& [id, count] : kCountButtons) {
    if (id == controlId) return count;
  }
  return 0;
}

bool IsSupportedCount(std::uint32_t count) { return velno::FindGridShape(count) != nullptr; }

}  // namespace adjust
