#include "screen_layout.h"

namespace adjust {

std::optional<ExtendScreen> FindExtendScreen(const std::vector<MonitorInfo>& monitors) {
  std::optional<ExtendScreen> found;
  for (const MonitorInfo& monitor : monitors) {
    if (monitor.primary) continue;
    found = ExtendScreen{monitor.rect.left == 0 ? 2 : 1, monitor.rect};
  }
  return found;
}

WindowPosition CentredOn(const ScreenRect& monitor, std::int32_t width, std::int32_t height) {
  const std::int64_t centreX = (static_cast<std::int64_t>(monitor.left) + monitor.right) / 2;
  const std::int64_t centreY = (static_cast<std::int64_t>(monitor.top) + monitor.bottom) / 2;
  return {static_cast<std::int32_t>(centreX - width / 2), static_cast<std::int32_t>(centreY - height / 2)};
}

}  // namespace adjust
