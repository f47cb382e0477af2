#include "target_layout.h"

#include "board_facts.h"

namespace adjust {
namespace {

Pixel MarkerCorner(Pixel point) { return {point.x - kMarkerSize / 2, point.y - kMarkerSize / 2}; }

}  // namespace

Fraction2 TargetFraction(std::uint32_t i, std::uint32_t count) {
  const velno::GridShape* shape = velno::FindGridShape(count);
  if (shape == nullptr) return {0.5, 0.5};
  const velno::TargetFractions target = velno::TargetFractionsOf(*shape, i);
  return {target.x, target.y};
}

Pixel TargetPoint(std::uint32_t i, std::uint32_t count, std::int32_t width, std::int32_t height) {
  const Fraction2 f = TargetFraction(i, count);
  return {static_cast<std::int32_t>(width * f.x), static_cast<std::int32_t>(height * f.y)};
}

TargetScene ComposeTarget(std::uint32_t k, std::uint32_t count, std::int32_t width, std::int32_t height) {
  TargetScene scene{};
  if (k <= count) {
    for (std::uint32_t i = 0; i < count && i < kMarkerSlots; ++i) {
      const Pixel corner = MarkerCorner(TargetPoint(i, count, width, height));
      if (i + 1 < k) {
        scene.done[i] = {true, corner};
      } else if (i + 1 > k) {
        scene.pending[i] = {true, corner};
      }
    }
  }
  const Pixel point = TargetPoint(k - 1, count, width, height);
  scene.current = MarkerCorner(point);
  // The hand's top sits 7 pixels below the marker's top, 5 pixels clear of the marker's side.
  if (k - 1 > count / 2 - 1) {
    scene.hand = Hand::Right;
    scene.handTopLeft = {point.x - 77, point.y - 17};
  } else {
    scene.hand = Hand::Left;
    scene.handTopLeft = {point.x + 29, point.y - 17};
  }
  return scene;
}

}  // namespace adjust
