#include "monitor_cover_win32.h"

namespace adjust {

RECT MonitorOfPass(const PassScreen& screen) {
  if (screen.flag != 0) return {screen.rect.left, screen.rect.top, screen.rect.right, screen.rect.bottom};
  return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

}  // namespace adjust
