#include <algorithm>
#include <array>
#include <string>

#include "dialog_window_win32.h"
#include "dialogs_win32.h"
#include "monitor_cover_win32.h"
#include "resource_ids.h"
#include "run_countdown.h"
#include "target_layout.h"
#include "target_timer.h"

namespace adjust {
namespace {

using velno::ClientRect;

struct TargetWindow {
  PassScreen screen;
  std::uint32_t count;
  const AdjustOperations* operations;
  HANDLE handOff;
  HICON windowIcon = nullptr;
  std::uint32_t k = 1;
  HWND current = nullptr;
  std::array<HWND, kMarkerSlots> done{};
  std::array<HWND, kMarkerSlots> pending{};
  HWND handRight = nullptr;
  HWND handLeft = nullptr;
  HWND countdown = nullptr;
  HWND refusedNote = nullptr;
  velno::OwnedFont noticeFont{};
  ULONGLONG progressAt = 0;  // when the window opened or the driver last took a target
  std::wstring countdownShown{};
  TargetOutcome outcome = TargetOutcome::Stopped;
};

constexpr int kCountdownHeight = 28;
constexpr int kCountdownGap = 82;  // from the target's point to the countdown, clear of the marker and the hand
constexpr int kNoteWidth = 900;
constexpr int kNoteHeight = 64;

// Target 1's markers come before the hands; the others after them.
int DoneMarkerId(int i) { return i == 0 ? IDC_FIRST_DONE_MARKER : IDC_DONE_MARKER(i); }
int PendingMarkerId(int i) { return i == 0 ? IDC_FIRST_PENDING_MARKER : IDC_PENDING_MARKER(i); }

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

// The countdown goes beside the red target, past the hand (on the side the hand stands), as wide as its
// words; kept inside the window.
void PlaceCountdown(HWND dialog, const TargetWindow& window, const std::wstring& text) {
  HDC dc = GetDC(window.countdown);
  const HGDIOBJ oldFont = SelectObject(dc, window.noticeFont.get());
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, oldFont);
  ReleaseDC(window.countdown, dc);
  const int width = size.cx + 8;

  const RECT client = ClientRect(dialog);
  const TargetScene scene = ComposeTarget(window.k, window.count, client.right, client.bottom);
  const Pixel point = TargetPoint(window.k - 1, window.count, client.right, client.bottom);
  const int x = scene.hand == Hand::Right ? point.x - kCountdownGap - width : point.x + kCountdownGap;
  const int y = point.y - kCountdownHeight / 2;
  SetWindowPos(window.countdown, nullptr, std::clamp(x, 0, std::max(0, static_cast<int>(client.right) - width)),
               std::clamp(y, 0, std::max(0, static_cast<int>(client.bottom) - kCountdownHeight)), width,
               kCountdownHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Shows the countdown for the last seconds of a run nobody touches, and hides it otherwise.
void ShowCountdown(HWND dialog, TargetWindow& window, std::uint32_t msSinceProgress) {
  const auto seconds = CountdownSeconds(msSinceProgress);
  const std::wstring text = seconds ? CountdownText(*seconds) : L"";
  if (text == window.countdownShown) return;
  window.countdownShown = text;
  if (seconds) {
    PlaceCountdown(dialog, window, text);
    SetWindowTextW(window.countdown, text.c_str());
  }
  ShowWindow(window.countdown, seconds ? SW_SHOWNA : SW_HIDE);
}

void MadeProgress(HWND dialog, TargetWindow& window) {
  window.progressAt = GetTickCount64();
  ShowCountdown(dialog, window, 0);
}

void ShowNote(HWND dialog, const TargetWindow& window, const std::wstring& text) {
  const RECT client = ClientRect(dialog);
  // Between the rows of every grid, a little above the middle.
  const int width = std::min(kNoteWidth, static_cast<int>(client.right) - 20);
  SetWindowPos(window.refusedNote, nullptr, (client.right - width) / 2, client.bottom * 38 / 100 - kNoteHeight / 2,
               width, kNoteHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowTextW(window.refusedNote, text.c_str());
  ShowWindow(window.refusedNote, SW_SHOWNA);
}

void Open(HWND dialog, TargetWindow& window) {
  window.current = BindIcon(dialog, IDC_CURRENT_MARKER, IDI_CURRENT_TARGET);
  for (int i = 0; i < kMarkerSlots; ++i) {
    window.done[i] = BindIcon(dialog, DoneMarkerId(i), IDI_DONE_TARGET);
    window.pending[i] = BindIcon(dialog, PendingMarkerId(i), IDI_PENDING_TARGET);
  }
  window.handRight = BindIcon(dialog, IDC_HAND_RIGHT, IDI_HAND_RIGHT);
  window.handLeft = BindIcon(dialog, IDC_HAND_LEFT, IDI_HAND_LEFT);
  window.countdown = GetDlgItem(dialog, IDC_COUNTDOWN);
  window.refusedNote = GetDlgItem(dialog, IDC_REFUSED_NOTE);
  window.noticeFont = velno::BoldArialFont(22);
  SendMessageW(window.countdown, WM_SETFONT, reinterpret_cast<WPARAM>(window.noticeFont.get()), FALSE);
  SendMessageW(window.refusedNote, WM_SETFONT, reinterpret_cast<WPARAM>(window.noticeFont.get()), FALSE);

  SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(window.windowIcon));
  SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(window.windowIcon));
  BringWindowToTop(dialog);
  ShowWindow(dialog, SW_SHOWNORMAL);
  velno::CoverMonitor(dialog, MonitorOfPass(window.screen));

  window.k = 1;
  window.operations->SetAdjustCurrentIndex(1);
  Place(window.current, true, {0, 0});
  for (int i = 0; i < kMarkerSlots; ++i) {
    ShowWindow(window.done[i], SW_HIDE);
    ShowWindow(window.pending[i], SW_HIDE);
  }
  ShowTarget(dialog, window);
  window.progressAt = GetTickCount64();
  velno::StartPolling(dialog, kTargetTimerPeriodMs);
}

// The window only ends; the caller stops the run (StopAdjust) as soon as it has.
void OnTimer(HWND dialog, TargetWindow& window, WPARAM timerId) {
  const bool handOff = velno::TakeSignal(window.handOff);
  const bool ownTimer = velno::IsPollTick(timerId);
  const std::int32_t index = !handOff && ownTimer ? window.operations->GetAdjustCurrentIndex() : -1;
  const auto sinceProgress =
      static_cast<std::uint32_t>(std::min<ULONGLONG>(GetTickCount64() - window.progressAt, kRunTimeoutMs));
  const TickAction action = StepOnTick({handOff, ownTimer, index, sinceProgress}, window.k, window.count);
  switch (action.step) {
    case TickStep::Finish:
      window.outcome = TargetOutcome::Saved;
      [[fallthrough]];
    case TickStep::Close:
      velno::EndModal(dialog, 0);
      break;
    case TickStep::TimeOut:
      window.outcome = TargetOutcome::TimedOut;
      velno::EndModal(dialog, 0);
      break;
    case TickStep::ShowNext:
    case TickStep::ShowAgain:
    case TickStep::RestartPass:
      // Published before it shows: the driver measures target k only once the index names it.
      window.k = action.target;
      window.operations->SetAdjustCurrentIndex(static_cast<std::int32_t>(window.k));
      MadeProgress(dialog, window);
      ShowTarget(dialog, window);
      if (action.step == TickStep::ShowNext) {
        ShowWindow(window.refusedNote, SW_HIDE);
      } else {
        ShowNote(dialog, window, action.step == TickStep::RestartPass ? RefusedGridText() : TouchAgainText());
      }
      break;
    case TickStep::Wait:
      if (ownTimer) ShowCountdown(dialog, window, sinceProgress);
      break;
  }
}

// Minimised, the window shows the application icon centred in its client area.
bool PaintMinimised(HWND dialog, const TargetWindow& window) {
  if (!IsIconic(dialog)) return false;
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(dialog, &paint);
  const RECT client = ClientRect(dialog);
  const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
  DrawIcon(dc, x, y, window.windowIcon);
  EndPaint(dialog, &paint);
  return true;
}

INT_PTR TargetProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM, TargetWindow& window) {
  switch (message) {
    case WM_INITDIALOG:
      Open(dialog, window);
      return TRUE;
    case WM_TIMER:
      OnTimer(dialog, window, wParam);
      return TRUE;
    case WM_COMMAND:
      // Enter and Esc (and a close request, which arrives as cancel) end the window; the caller stops
      // the run.
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) velno::EndModal(dialog, LOWORD(wParam));
      return TRUE;
    case WM_PAINT:
      return PaintMinimised(dialog, window) ? TRUE : FALSE;
    case WM_DPICHANGED:
      // Moved onto a monitor of another scale, the window covers the pass's monitor again: lay the
      // targets out on it.
      ShowTarget(dialog, window);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

TargetOutcome RunTargetDialog(HINSTANCE instance, const PassScreen& screen, std::uint32_t count,
                              const AdjustOperations& operations, HANDLE handOff) {
  TargetWindow window{screen, count, &operations, handOff};
  window.windowIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_APPLICATION_ICON));
  velno::RunDialog<TargetProcedure>(instance, IDD_TARGET_WINDOW, velno::Cursor::Hidden, window);
  return window.outcome;
}

}  // namespace adjust
