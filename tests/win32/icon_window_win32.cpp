// icon_window.exe open-menu | command ID | taskbar-created: posts to the pen driver's hidden icon window
// what Windows posts to it, where Wine has no notification area to click: the icon's right click (its
// callback message with WM_CONTEXTMENU), a menu item's WM_COMMAND, Explorer's "TaskbarCreated". Exit code
// 0 when posted, 1 when no driver window is there.
#include <windows.h>

#include <cwchar>
#include <string_view>

#include "driver_windows_win32.h"

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  HWND window = FindWindowW(velno::kDriverWindowClass, nullptr);
  if (window == nullptr) return 1;
  const std::wstring_view what = argv[1];
  BOOL posted = FALSE;
  if (what == L"open-menu") {
    posted = PostMessageW(window, velno::kIconCallback, 0, MAKELPARAM(WM_CONTEXTMENU, 1));
  } else if (what == L"command" && argc > 2) {
    posted = PostMessageW(window, WM_COMMAND, MAKEWPARAM(std::wcstol(argv[2], nullptr, 10), 0), 0);
  } else if (what == L"taskbar-created") {
    posted = PostMessageW(window, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  } else {
    return 2;
  }
  return posted ? 0 : 1;
}
