// Where the check's result screen puts its verdict, its figures and its two buttons: clear of every cross
// and the error written beside it, and on the screen, on every classroom screen from 800 x 600 up. Plain
// computation over rectangles; the check window measures its texts and applies the result.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "screen_layout.h"
#include "target_layout.h"

namespace adjust {

struct TextSize {
  std::int32_t width;
  std::int32_t height;
};

// The size a text takes when wrapped at word breaks to at most `maxWidth` pixels.
using MeasureText = std::function<TextSize(std::int32_t maxWidth)>;

inline constexpr std::int32_t kLargeButtonWidth = 320;
inline constexpr std::int32_t kLargeButtonHeight = 96;
inline constexpr std::int32_t kSmallButtonWidth = 200;  // still easy to hit with a pen from a step away
inline constexpr std::int32_t kSmallButtonHeight = 80;

inline constexpr std::int32_t kCheckCrossArm = 24;  // a cross's arms reach this far from its centre

// Where the error written beside a cross goes in a window of width x height: right of its arm, a little
// below its centre; above the centre where that would run past the bottom, left of the cross where past
// the right.
ScreenRect ErrorLabelRect(Pixel cross, const TextSize& label, std::int32_t width, std::int32_t height);

struct ResultLayout {
  ScreenRect verdict;
  ScreenRect figures;
  ScreenRect done;
  ScreenRect again;
};

// The layout on a window of width x height that keeps clear of `obstacles` (each cross's arms and its
// error's text, window coordinates). Tried in this order, the first that fits wins, each placed as near
// the middle of the window as it fits: the verdict over the figures over the two buttons side by side,
// as one block with large buttons, then with smaller buttons and narrower text; then the texts and the
// buttons as two blocks; then each of the four on its own.
ResultLayout LayOutResult(std::int32_t width, std::int32_t height, const std::vector<ScreenRect>& obstacles,
                          const MeasureText& verdict, const MeasureText& figures);

}  // namespace adjust
