// The calibration targets on the covered screen: where each one is, which marker shows on it, and where
// the pointing hand goes. Plain computations; the target window applies them to its controls.
#pragma once

#include <array>
#include <cstdint>

namespace adjust {

inline constexpr int kMarkerSize = 48;     // every marker and hand is 48 x 48 pixels
inline constexpr int kMarkerSlots = 26;    // done and pending markers each; counts go up to 25

struct Fraction2 {
  double x;
  double y;
};

struct Pixel {
  std::int32_t x;
  std::int32_t y;
  friend bool operator==(const Pixel&, const Pixel&) = default;
};

// Target i (0-based) of a run of `count` points as fractions of the window's width and height, where the
// board's facts place it (down the leftmost column first, the outermost 1/32 in from each edge). A count
// that is not a grid puts every target at the centre.
Fraction2 TargetFraction(std::uint32_t i, std::uint32_t count);

// The target's point in a window of width x height pixels, relative to its top-left corner (truncated).
Pixel TargetPoint(std::uint32_t i, std::uint32_t count, std::int32_t width, std::int32_t height);

enum class Hand { Left, Right };  // the hand's finger points left (placed right of the target) or right

struct MarkerState {
  bool shown = false;
  Pixel topLeft{0, 0};
  friend bool operator==(const MarkerState&, const MarkerState&) = default;
};

// Everything the window shows while target k (1-based) is on show.
struct TargetScene {
  std::array<MarkerState, kMarkerSlots> done;     // green crosses: targets already taken
  std::array<MarkerState, kMarkerSlots> pending;  // grey crosses: targets still to come
  Pixel current;                                  // the red marker's top-left corner
  Hand hand;
  Pixel handTopLeft;
};

// Targets 1 .. k-1 show a done marker, k the current marker with the hand, k+1 .. count a pending one;
// slots past the count stay hidden. The hand points right for k > count / 2 (placed left of the
// target), else left; the comparison is on unsigned values, so a count below 2 always gets the left.
TargetScene ComposeTarget(std::uint32_t k, std::uint32_t count, std::int32_t width, std::int32_t height);

}  // namespace adjust
