// The monitors as the pointer output sees them, kept up to date by a hidden window that gets the
// system's display-change broadcast. In physical pixels whatever each monitor's scale, as the absolute
// input units address them: the program declares itself per-monitor DPI aware in its manifest.
#include <windows.h>

#include <algorithm>
#include <mutex>

#include "driver_platform_win32.h"

namespace velno {
namespace {

constexpr UINT_PTR kRereadTimerId = 1;
// A display change is broadcast to top-level windows; the timer also catches a change whose broadcast
// a window of this process did not get. Never more often than once a second.
constexpr UINT kRereadPeriodMs = 1000;

struct DisplayWatch {
  std::once_flag started;
  std::mutex lock;
  DisplayLayout layout;
};

DisplayWatch& Watch() {
  static auto* watch = new DisplayWatch;  // lives as long as the process; its thread may outlive main
  return *watch;
}

DisplayRect FromRect(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM parameter) {
  auto& layout = *reinterpret_cast<DisplayLayout*>(parameter);
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (!GetMonitorInfoW(monitor, &info)) return TRUE;
  const DisplayRect rect = FromRect(info.rcMonitor);
  if (info.dwFlags & MONITORINFOF_PRIMARY) {
    layout.primary = rect;
  } else {
    // The last non-primary monitor wins, as in the calibration tool's choice of the extended screen.
    layout.hasExtendMonitor = true;
    layout.extendMonitor = rect;
  }
  DisplayRect& desk = layout.virtualScreen;
  if (desk.right <= desk.left) {
    desk = rect;
  } else {
    desk = {std::min(desk.left, rect.left), std::min(desk.top, rect.top), std::max(desk.right, rect.right),
            std::max(desk.bottom, rect.bottom)};
  }
  return TRUE;
}

DisplayLayout ReadDisplayLayout() {
  DisplayLayout layout;
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&layout));
  return layout;
}

void Reread() {
  const DisplayLayout layout = ReadDisplayLayout();
  std::scoped_lock guard(Watch().lock);
  Watch().layout = layout;
}

LRESULT CALLBACK WatchProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DISPLAYCHANGE || message == WM_TIMER) Reread();
  return DefWindowProcW(window, message, wParam, lParam);
}

DWORD WINAPI RunWatch(LPVOID desktop) {
  // On the desktop of the thread that asked, which is where the broadcast goes (a thread of a process
  // the service launched otherwise starts on the service's hidden desktop under Wine).
  if (desktop != nullptr) SetThreadDesktop(static_cast<HDESK>(desktop));
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = WatchProcedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"VelnoDisplayWatch";
  RegisterClassW(&windowClass);
  // A top-level window that is never shown: a message-only window would not get the broadcast.
  HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, windowClass.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                nullptr, windowClass.hInstance, nullptr);
  if (window == nullptr) return 1;
  SetTimer(window, kRereadTimerId, kRereadPeriodMs, nullptr);
  Reread();  // a change between the first read and the window's creation
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}

void StartWatch() {
  Reread();
  HANDLE thread = CreateThread(nullptr, 0, RunWatch, GetThreadDesktop(GetCurrentThreadId()), 0, nullptr);
  if (thread != nullptr) CloseHandle(thread);
}

}  // namespace

DisplayLayout Win32Displays::CurrentDisplayLayout() {
  DisplayWatch& watch = Watch();
  std::call_once(watch.started, StartWatch);
  std::scoped_lock guard(watch.lock);
  return watch.layout;
}

}  // namespace velno
