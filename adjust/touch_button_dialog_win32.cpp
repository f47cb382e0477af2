// The touch-button window: over the primary screen it asks for the printed buttons one after another
// while the driver measures where the pen touches each (the button run's index, answered as the target
// window's is), says so when the driver refused a place already set up, and counts down the last
// seconds of a run nobody touches.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "dialog_window_win32.h"
#include "dialogs_win32.h"
#include "monitor_cover_win32.h"
#include "resource_ids.h"
#include "run_countdown.h"
#include "target_timer.h"
#include "touch_button_setup.h"

namespace adjust {
namespace {

using velno::ClientRect;

constexpr int kTextWidth = 1000;
constexpr int kPromptHeight = 60;
constexpr int kNoteHeight = 64;
constexpr int kCountdownHeight = 30;

struct TouchButtonWindow {
  std::uint32_t count;
  const std::vector<std::wstring>* actionWords;
  const AdjustOperations* operations;
  HANDLE handOff;
  std::uint32_t k = 1;
  velno::OwnedFont promptFont{};
  velno::OwnedFont noteFont{};
  ULONGLONG progressAt = 0;  // when the window opened or the driver last answered
  std::wstring countdownShown{};
  TargetOutcome outcome = TargetOutcome::Stopped;
};

// The texts one under another, centred a little above the middle of the screen.
void LayOut(HWND dialog) {
  const RECT client = ClientRect(dialog);
  const int width = std::min(kTextWidth, static_cast<int>(client.right) - 20);
  const int x = (client.right - width) / 2;
  int y = client.bottom * 40 / 100 - kPromptHeight;
  for (const auto& [control, height] : {std::pair{IDC_TOUCH_BUTTON_PROMPT, kPromptHeight},
                                       std::pair{IDC_TOUCH_BUTTON_NOTE, kNoteHeight},
                                       std::pair{IDC_TOUCH_BUTTON_COUNTDOWN, kCountdownHeight}}) {
    SetWindowPos(GetDlgItem(dialog, control), nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    y += height + 16;
  }
}

void ShowButton(HWND dialog, const TouchButtonWindow& window, bool refused) {
  SetDlgItemTextW(dialog, IDC_TOUCH_BUTTON_PROMPT,
                  TouchButtonPrompt(window.k, window.count, (*window.actionWords)[window.k - 1]).c_str());
  SetDlgItemTextW(dialog, IDC_TOUCH_BUTTON_NOTE, refused ? PlaceAlreadyTakenText(window.k).c_str() : L"");
  ShowWindow(GetDlgItem(dialog, IDC_TOUCH_BUTTON_NOTE), refused ? SW_SHOWNA : SW_HIDE);
}

// Shows the countdown for the last seconds of a run nobody touches, and hides it otherwise.
void ShowCountdown(HWND dialog, TouchButtonWindow& window, std::uint32_t msSinceProgress) {
  const auto seconds = CountdownSeconds(msSinceProgress);
  const std::wstring text = seconds ? TouchButtonCountdownText(*seconds, window.k) : L"";
  if (text == window.countdownShown) return;
  window.countdownShown = text;
  SetDlgItemTextW(dialog, IDC_TOUCH_BUTTON_COUNTDOWN, text.c_str());
  ShowWindow(GetDlgItem(dialog, IDC_TOUCH_BUTTON_COUNTDOWN), seconds ? SW_SHOWNA : SW_HIDE);
}

void Open(HWND dialog, TouchButtonWindow& window) {
  // Named without a caption bar, which would move the client area off the screen's pixels.
  SetWindowTextW(dialog, L"Touch buttons");
  window.promptFont = velno::BoldArialFont(40);
  window.noteFont = velno::BoldArialFont(22);
  SendDlgItemMessageW(dialog, IDC_TOUCH_BUTTON_PROMPT, WM_SETFONT, reinterpret_cast<WPARAM>(window.promptFont.get()),
                      FALSE);
  for (const int control : {IDC_TOUCH_BUTTON_NOTE, IDC_TOUCH_BUTTON_COUNTDOWN}) {
    SendDlgItemMessageW(dialog, control, WM_SETFONT, reinterpret_cast<WPARAM>(window.noteFont.get()), FALSE);
  }
  BringWindowToTop(dialog);
  ShowWindow(dialog, SW_SHOWNORMAL);
  velno::CoverMonitor(dialog, MonitorOfPass(PassScreen{}));
  LayOut(dialog);

  window.k = 1;
  window.operations->SetButtonAdjustCurrentIndex(1);
  ShowButton(dialog, window, false);
  window.progressAt = GetTickCount64();
  velno::StartPolling(dialog, kTargetTimerPeriodMs);
}

// The window only ends; the caller stops the run (StopButtonAdjust) as soon as it has.
void OnTimer(HWND dialog, TouchButtonWindow& window, WPARAM timerId) {
  const bool handOff = velno::TakeSignal(window.handOff);
  const bool ownTimer = velno::IsPollTick(timerId);
  const std::int32_t index = !handOff && ownTimer ? window.operations->GetButtonAdjustCurrentIndex() : -1;
  const auto sinceProgress =
      static_cast<std::uint32_t>(std::min<ULONGLONG>(GetTickCount64() - window.progressAt, kRunTimeoutMs));
  const TickAction action = StepOnTick({handOff, ownTimer, index, sinceProgress}, window.k, window.count);
  switch (action.step) {
    case TickStep::Finish:
      window.outcome = TargetOutcome::Saved;
      velno::EndModal(dialog, 0);
      break;
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
      // The driver asks for a button again only when it refused a place already set up. Published
      // before it shows: the driver measures button k only once the index names it.
      window.k = action.target;
      window.operations->SetButtonAdjustCurrentIndex(static_cast<std::int32_t>(window.k));
      window.progressAt = GetTickCount64();
      ShowCountdown(dialog, window, 0);
      ShowButton(dialog, window, action.step != TickStep::ShowNext);
      break;
    case TickStep::Wait:
      if (ownTimer) ShowCountdown(dialog, window, sinceProgress);
      break;
  }
}

INT_PTR TouchButtonProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM, TouchButtonWindow& window) {
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
    case WM_DPICHANGED:
      LayOut(dialog);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

TargetOutcome RunTouchButtonDialog(HINSTANCE instance, const std::vector<std::wstring>& actionWords,
                                   const AdjustOperations& operations, HANDLE handOff) {
  TouchButtonWindow window{static_cast<std::uint32_t>(actionWords.size()), &actionWords, &operations, handOff};
  velno::RunDialog<TouchButtonProcedure>(instance, IDD_TOUCH_BUTTON_WINDOW, velno::Cursor::Hidden, window);
  return window.outcome;
}

}  // namespace adjust
