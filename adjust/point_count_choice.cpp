#include "point_count_choice.h"

#include <array>
#include <utility>

#include "board_facts.h"
#include "resource_ids.h"

namespace adjust {
namespace {

// Each count button and the count it stands for.
constexpr std::array<std::pair<int, std::uint32_t>, 7> kCountButtons{{
    {IDC_COUNT_4, 4}, {IDC_COUNT_6, 6}, {IDC_COUNT_9, 9}, {IDC_COUNT_12, 12}, {IDC_COUNT_16, 16},
    {IDC_COUNT_20, 20}, {IDC_COUNT_25, 25}}};

}  // namespace

std::uint32_t CountForButton(int controlId) {
  for (const auto& [id, count] : kCountButtons) {
    if (id == controlId) return count;
  }
  return 0;
}

bool IsSupportedCount(std::uint32_t count) { return velno::FindGridShape(count) != nullptr; }

}  // namespace adjust
