#include "monitor_cover_win32.h"

namespace adjust {
namespace {

// SetDialogDpiChangeBehavior exists from Windows 10 1703 on; looked up by name so the tool still starts
// on older systems (and under Wine), where a dialog is not rescaled anyway.
void TurnOffDialogRescaling(HWND dialog) {
  using SetBehavior = BOOL(WINAPI*)(HWND, int, int);
  const auto set = reinterpret_cast<SetBehavior>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetDialogDpiChangeBehavior")));
  constexpr int kDisableAll = 0x0001;  // DDC_DISABLE_ALL: no resize, no font or control relayout
  if (set != nullptr) set(dialog, kDisableAll, kDisableAll);
}

}  // namespace

void CoverMonitor(HWND dialog, const ScreenRect& monitor) {
  TurnOffDialogRescaling(dialog);
  SetWindowPos(dialog, nullptr, monitor.left, monitor.top, monitor.right - monitor.left, monitor.bottom - monitor.top,
               SWP_NOZORDER);
}

ScreenRect MonitorOfPass(const PassScreen& screen) {
  if (screen.flag != 0) return screen.rect;
  return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

}  // namespace adjust
