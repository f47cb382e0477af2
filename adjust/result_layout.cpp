#include "result_layout.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace adjust {
namespace {

constexpr std::int32_t kClearance = 8;     // kept free around every cross, label and element
constexpr std::int32_t kScanStep = 8;      // positions tried, pixels apart
constexpr std::int32_t kTextGap = 8;       // between the verdict and the figures
constexpr std::int32_t kButtonsGap = 16;   // between the texts and the buttons
constexpr std::int32_t kBetweenButtons = 40;

ScreenRect At(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) {
  return {x, y, x + width, y + height};
}

ScreenRect Moved(const ScreenRect& r, std::int32_t dx, std::int32_t dy) {
  return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

bool Overlap(const ScreenRect& a, const ScreenRect& b) {
  return a.left < b.right + kClearance && b.left < a.right + kClearance && a.top < b.bottom + kClearance &&
         b.top < a.bottom + kClearance;
}

// Rectangles laid out together, relative to the group's top-left corner.
struct Group {
  std::vector<ScreenRect> parts;
  std::int32_t width = 0;
  std::int32_t height = 0;
};

Group TextBlock(const TextSize& verdict, const TextSize& figures, std::int32_t width) {
  return {{At((width - verdict.width) / 2, 0, verdict.width, verdict.height),
           At((width - figures.width) / 2, verdict.height + kTextGap, figures.width, figures.height)},
          width,
          verdict.height + kTextGap + figures.height};
}

Group ButtonRow(const TextSize& button, std::int32_t width) {
  const std::int32_t left = (width - 2 * button.width - kBetweenButtons) / 2;
  const std::int32_t second = left + button.width + kBetweenButtons;
  return {{At(left, 0, button.width, button.height), At(second, 0, button.width, button.height)},
          width,
          button.height};
}

Group Stacked(const Group& upper, const Group& lower) {
  Group both = upper;
  both.height = upper.height + kButtonsGap + lower.height;
  for (const ScreenRect& part : lower.parts) both.parts.push_back(Moved(part, 0, upper.height + kButtonsGap));
  return both;
}

// The free position for the group nearest the middle of the window: every part inside the window and
// clear of everything taken.
std::optional<std::vector<ScreenRect>> Place(const Group& group, std::int32_t width, std::int32_t height,
                                             const std::vector<ScreenRect>& taken) {
  std::optional<std::vector<ScreenRect>> best;
  long long bestDistance = std::numeric_limits<long long>::max();
  for (std::int32_t y = 0; y + group.height <= height; y += kScanStep) {
    for (std::int32_t x = 0; x + group.width <= width; x += kScanStep) {
      const long long dx = 2LL * x + group.width - width;
      const long long dy = 2LL * y + group.height - height;
      const long long distance = dx * dx + dy * dy;
      if (distance >= bestDistance) continue;
      std::vector<ScreenRect> parts;
      bool free = true;
      for (const ScreenRect& part : group.parts) {
        const ScreenRect placed = Moved(part, x, y);
        const auto hits = [&](const ScreenRect& t) { return Overlap(placed, t); };
        free = free && std::none_of(taken.begin(), taken.end(), hits);
        parts.push_back(placed);
      }
      if (free) {
        best = parts;
        bestDistance = distance;
      }
    }
  }
  return best;
}

// Places the groups one after the other, each clear of those before; nullopt when one finds no room.
std::optional<std::vector<ScreenRect>> PlaceAll(const std::vector<Group>& groups, std::int32_t width,
                                                std::int32_t height, std::vector<ScreenRect> taken) {
  std::vector<ScreenRect> placed;
  for (const Group& group : groups) {
    const auto parts = Place(group, width, height, taken);
    if (!parts) return std::nullopt;
    placed.insert(placed.end(), parts->begin(), parts->end());
    taken.insert(taken.end(), parts->begin(), parts->end());
  }
  return placed;
}

Group Single(const TextSize& size) { return {{At(0, 0, size.width, size.height)}, size.width, size.height}; }

}  // namespace

ScreenRect ErrorLabelRect(Pixel cross, const TextSize& label, std::int32_t width, std::int32_t height) {
  constexpr std::int32_t kGap = 6;   // from the end of the arm
  constexpr std::int32_t kDrop = 4;  // from the centre's row
  const std::int32_t right = cross.x + kCheckCrossArm + kGap;
  const std::int32_t x = right + label.width <= width ? right : cross.x - kCheckCrossArm - kGap - label.width;
  const std::int32_t y = cross.y + kDrop + label.height <= height ? cross.y + kDrop : cross.y - kDrop - label.height;
  return At(x, y, label.width, label.height);
}

ResultLayout LayOutResult(std::int32_t width, std::int32_t height, const std::vector<ScreenRect>& obstacles,
                          const MeasureText& verdict, const MeasureText& figures) {
  const std::int32_t widest = std::max(width * 9 / 10, 1);
  struct Texts {
    TextSize verdict;
    TextSize figures;
  };
  std::vector<Texts> texts;
  for (const std::int32_t textWidth : {widest, std::min(widest, 600), std::min(widest, 420)}) {
    texts.push_back({verdict(textWidth), figures(textWidth)});
  }
  const TextSize buttonSizes[] = {{kLargeButtonWidth, kLargeButtonHeight}, {kSmallButtonWidth, kSmallButtonHeight}};

  // Each try lists its groups in the order verdict, figures, done, again.
  std::vector<std::vector<Group>> tries;
  for (const TextSize& button : buttonSizes) {
    for (const Texts& t : texts) {
      const std::int32_t blockWidth = std::max({t.verdict.width, t.figures.width, 2 * button.width + kBetweenButtons});
      tries.push_back({Stacked(TextBlock(t.verdict, t.figures, blockWidth), ButtonRow(button, blockWidth))});
    }
  }
  for (const TextSize& button : buttonSizes) {
    for (const Texts& t : texts) {
      tries.push_back({TextBlock(t.verdict, t.figures, std::max(t.verdict.width, t.figures.width)),
                       ButtonRow(button, 2 * button.width + kBetweenButtons)});
    }
  }
  for (const Texts& t : texts) {
    const TextSize& button = buttonSizes[1];
    tries.push_back({Single(t.verdict), Single(t.figures), Single(button), Single(button)});
  }

  const auto layout = [](const std::vector<ScreenRect>& parts) {
    return ResultLayout{parts[0], parts[1], parts[2], parts[3]};
  };
  for (const auto& groups : tries) {
    if (const auto parts = PlaceAll(groups, width, height, obstacles)) return layout(*parts);
  }
  // No room anywhere (a window far smaller than any classroom screen): the first try, over the crosses.
  const auto parts = PlaceAll(tries.front(), width, height, {});
  return parts ? layout(*parts) : ResultLayout{};
}

}  // namespace adjust
