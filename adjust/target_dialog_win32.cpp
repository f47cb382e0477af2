#include <array>

#include "dialogs_win32.h"
#include "monitor_cover_win32.h"
#include "resource_ids.h"
#include "target_layout.h"
#include "target_timer.h"

namespace adjust {
namespace {

struct TargetWindow {
  PassScreen screen;
  std::uint32_t count;
  const AdjustOperations* operations;
  HANDLE handOff;
  HICON windowIcon = nullptr;
  std::uint32_t k = 1;
  UINT_PTR timer = 0;
  HWND current = nullptr;
  std::array<HWND, kMarkerSlots> done{};
  std::array<HWND, kMarkerSlots> pending{};
  HWND handRight = nullptr;
  HWND handLeft = nullptr;
};

TargetWindow& StateOf(HWND dialog) { return *reinterpret_cast<TargetWindow*>(GetWindowLongPtrW(dialog, DWLP_USER)); }

// Done markers are controls 123, 127, 129, ..., 175; pending markers 124, 128, 130, ..., 176.
int DoneMarkerId(int i) { return i == 0 ? IDC_FIRST_DONE_MARKER : 125 + 2 * i; }
int PendingMarkerId(int i) { return i == 0 ? IDC_FIRST_PENDING_MARKER : 126 + 2 * i; }

// The template's icon controls load the default icon size; every marker and hand is 48 x 48 pixels.
HWND BindIcon(HWND dialog, int controlId, int iconId) {
  HWND control = GetDlgItem(dialog, controlId);
  const auto icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconId), IMAGE_ICON,
                                                  kMarkerSize, kMarkerSize, LR_SHARED));
  SendMessageW(control, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
  return control;
}

void Place(HWND control, bool shown, Pixel topLeft) {
  SetWindowPos(control, nullptr, topLeft.x, topLeft.y, kMarkerSize, kMarkerSize,
               SWP_NOZORDER | SWP_NOACTIVATE | (shown ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void ShowTarget(HWND dialog, TargetWindow& window) {
  RECT rect{};
  GetWindowRect(dialog, &rect);
  const TargetScene scene = ComposeTarget(window.k, window.count, rect.right - rect.left, rect.bottom - rect.top);
  for (int i = 0; i < kMarkerSlots; ++i) {
    Place(window.done[i], scene.done[i].shown, scene.done[i].topLeft);
    Place(window.pending[i], scene.pending[i].shown, scene.pending[i].topLeft);
  }
  Place(window.current, true, scene.current);
  Place(window.handRight, scene.hand == Hand::Right, scene.handTopLeft);
  Place(window.handLeft, scene.hand == Hand::Left, scene.handTopLeft);
}

ScreenRect MonitorOf(const TargetWindow& window) {
  if (window.screen.flag != 0) return window.screen.rect;
  return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

void Open(HWND dialog, TargetWindow& window) {
  window.current = BindIcon(dialog, IDC_CURRENT_MARKER, IDI_CURRENT_TARGET);
  for (int i = 0; i < kMarkerSlots; ++i) {
    window.done[i] = BindIcon(dialog, DoneMarkerId(i), IDI_DONE_TARGET);
    window.pending[i] = BindIcon(dialog, PendingMarkerId(i), IDI_PENDING_TARGET);
  }
  window.handRight = BindIcon(dialog, IDC_HAND_RIGHT, IDI_HAND_RIGHT);
  window.handLeft = BindIcon(dialog, IDC_HAND_LEFT, IDI_HAND_LEFT);

  SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(window.windowIcon));
  SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(window.windowIcon));
  BringWindowToTop(dialog);
  ShowCursor(FALSE);  // shown again by the next chooser
  ShowWindow(dialog, SW_SHOWNORMAL);
  CoverMonitor(dialog, MonitorOf(window));

  window.k = 1;
  window.operations->SetAdjustCurrentIndex(1);
  Place(window.current, true, {0, 0});
  for (int i = 0; i < kMarkerSlots; ++i) {
    ShowWindow(window.done[i], SW_HIDE);
    ShowWindow(window.pending[i], SW_HIDE);
  }
  ShowTarget(dialog, window);
  window.timer = SetTimer(dialog, kTargetTimerId, kTargetTimerPeriodMs, nullptr);
}

void End(HWND dialog, TargetWindow& window, INT_PTR result) {
  KillTimer(dialog, window.timer);
  EndDialog(dialog, result);
}

void OnTimer(HWND dialog, TargetWindow& window, UINT_PTR timerId) {
  // The wait consumes the auto-reset signal: one signal ends one window.
  const bool handOff = window.handOff != nullptr && WaitForSingleObject(window.handOff, 0) == WAIT_OBJECT_0;
  const bool ownTimer = timerId == window.timer;
  const std::int32_t index = !handOff && ownTimer ? window.operations->GetAdjustCurrentIndex() : -1;
  switch (StepOnTick({handOff, ownTimer, index}, window.k, window.count)) {
    case TickStep::StopAndClose:
      window.operations->StopAdjust();
      End(dialog, window, 0);
      break;
    case TickStep::ShowNext:
      ++window.k;
      window.operations->SetAdjustCurrentIndex(static_cast<std::int32_t>(window.k));
      ShowTarget(dialog, window);
      break;
    case TickStep::Wait:
      break;
  }
}

// Minimised, the window shows the application icon centred in its client area.
bool PaintMinimised(HWND dialog, const TargetWindow& window) {
  if (!IsIconic(dialog)) return false;
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(dialog, &paint);
  RECT client{};
  GetClientRect(dialog, &client);
  const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
  DrawIcon(dc, x, y, window.windowIcon);
  EndPaint(dialog, &paint);
  return true;
}

INT_PTR CALLBACK TargetProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      Open(dialog, *reinterpret_cast<TargetWindow*>(lParam));
      return TRUE;
    case WM_TIMER:
      OnTimer(dialog, StateOf(dialog), wParam);
      return TRUE;
    case WM_COMMAND:
      // Enter and Esc (and a close request, which arrives as cancel) end the window; the caller stops
      // the run.
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) End(dialog, StateOf(dialog), LOWORD(wParam));
      return TRUE;
    case WM_PAINT:
      return PaintMinimised(dialog, StateOf(dialog)) ? TRUE : FALSE;
    case WM_DPICHANGED:
      // Moved onto a monitor of another scale: cover the pass's monitor again and lay the targets out
      // on it, instead of taking the rescaled rectangle the system suggests.
      CoverMonitor(dialog, MonitorOf(StateOf(dialog)));
      ShowTarget(dialog, StateOf(dialog));
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

INT_PTR RunTargetDialog(HINSTANCE instance, const PassScreen& screen, std::uint32_t count,
                        const AdjustOperations& operations, HANDLE handOff) {
  TargetWindow window{screen, count, &operations, handOff};
  window.windowIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_APPLICATION_ICON));
  return DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_TARGET_WINDOW), nullptr, TargetProcedure,
                         reinterpret_cast<LPARAM>(&window));
}

}  // namespace adjust
