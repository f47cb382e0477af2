#include "driver_platform_win32.h"

#include <windows.h>

namespace velno {

void Win32DriverPlatform::InjectMouse(std::uint32_t flags, std::int32_t x, std::int32_t y) {
  // mouse_event takes DWORD coordinates; past 65535 they reach a screen beside or below the primary one.
  mouse_event(flags, static_cast<DWORD>(x), static_cast<DWORD>(y), 0, 0);
}

}  // namespace velno
