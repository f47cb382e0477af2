// Which monitor an extended pass calibrates and the screen flag the driver gets for it (announced in the
// adjust-type word of the board's facts), and where a window sits centred on a monitor.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace adjust {

// A monitor rectangle in virtual-desktop pixels.
struct ScreenRect {
  std::int32_t left;
  std::int32_t top;
  std::int32_t right;
  std::int32_t bottom;
  friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

struct MonitorInfo {
  ScreenRect rect;  // the whole monitor, not its work area
  bool primary;
};

// 0: no extended monitor; 1: one beside the primary one (the driver offsets X); 2: one whose left edge
// is 0, above or below it (the driver offsets Y).
struct ExtendScreen {
  std::int32_t flag;
  ScreenRect rect;
};

// The last non-primary monitor of the enumeration wins; nullopt when there is none.
std::optional<ExtendScreen> FindExtendScreen(const std::vector<MonitorInfo>& monitors);

struct WindowPosition {
  std::int32_t x;
  std::int32_t y;
  friend bool operator==(const WindowPosition&, const WindowPosition&) = default;
};

// Where a window of the given size goes to sit centred on a monitor; every halving truncates toward
// zero, as the tool has always placed its chooser.
WindowPosition CentredOn(const ScreenRect& monitor, std::int32_t width, std::int32_t height);

}  // namespace adjust
