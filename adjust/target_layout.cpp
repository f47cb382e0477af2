#include "target_layout.h"

namespace adjust {
namespace {

Pixel MarkerCorner(Pixel point) { return {point.x - kMarkerSize / 2, point.y - kMarkerSize / 2}; }

}  // namespace

GridShape GridShapeFor(std::uint32_t count) {
  switch (count) {
    case 4: return {2, 2};
    case 6: return {3, 2};
    case 9: return {3, 3};
    case 12: return {4, 3};
    case 16: return {4, 4};
    case 20: return {5, 4};
    case 25: return {5, 5};
    default: return {0, 0};
  }
}

Fraction2 TargetFraction(std::uint32_t i, std::uint32_t count) {
  const GridShape shape = GridShapeFor(count);
  if (shape.rows == 0) return {0.5, 0.5};
  const std::uint32_t column = i / shape.rows;
  const std::uint32_t row = i % shape.rows;
  return {(30.0 / (shape.columns - 1) * column + 1) / 32, (30.0 / (shape.rows - 1) * row + 1) / 32};
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
