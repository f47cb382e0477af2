// The check after a saved calibration: five crosses one after another on the pass's screen, each taken
// where the pen lifts (the pen is the calibrated pointer again), then the result screen with a line
// from each cross to where it landed, the figures, the verdict and two buttons a pen can hit.
#include <windowsx.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "check_progress.h"
#include "check_verdict.h"
#include "dialog_window_win32.h"
#include "dialogs_win32.h"
#include "monitor_cover_win32.h"
#include "resource_ids.h"
#include "result_layout.h"

namespace adjust {
namespace {

using velno::ClientRect;

constexpr int kCrossArm = kCheckCrossArm;
constexpr int kPromptWidth = 640;
constexpr int kPromptHeight = 30;
constexpr COLORREF kCrossColour = RGB(0, 0, 0);
constexpr COLORREF kLandedColour = RGB(224, 12, 20);
constexpr COLORREF kGoodColour = RGB(20, 131, 5);

struct CheckWindow {
  PassScreen screen;
  std::uint32_t count;
  HANDLE handOff;
  std::array<Pixel, kCheckCrosses> crosses{};
  CheckProgress progress{};
  CheckVerdict verdict{};
  ULONGLONG openedAt = 0;
  velno::OwnedFont textFont{};
  velno::OwnedFont buttonFont{};
  CheckOutcome outcome = CheckOutcome::Done;
};

void Move(HWND dialog, int control, int x, int y, int width, int height) {
  SetWindowPos(GetDlgItem(dialog, control), nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// The prompt goes under the cross on show, or over it near the bottom; kept inside the window.
void ShowCross(HWND dialog, const CheckWindow& window) {
  const RECT client = ClientRect(dialog);
  const Pixel cross = window.crosses[window.progress.shown];
  const int below = cross.y + kCrossArm + 8;
  const int y = below + kPromptHeight <= client.bottom ? below : cross.y - kCrossArm - 8 - kPromptHeight;
  const int x = std::clamp(cross.x - kPromptWidth / 2, 0, std::max(0, static_cast<int>(client.right) - kPromptWidth));
  Move(dialog, IDC_CHECK_PROMPT, x, y, kPromptWidth, kPromptHeight);
  SetDlgItemTextW(dialog, IDC_CHECK_PROMPT, CrossPromptText(window.progress.shown).c_str());
  InvalidateRect(dialog, nullptr, TRUE);
}

std::wstring ErrorLabel(const CheckWindow& window, std::uint32_t i) {
  return std::to_wstring(i + 1) + L": " + std::to_wstring(std::lround(window.verdict.errors[i])) + L" px";
}

// Where the error beside cross i goes, measured in the text font.
ScreenRect LabelRect(HWND dialog, const CheckWindow& window, std::uint32_t i) {
  const std::wstring label = ErrorLabel(window, i);
  HDC dc = GetDC(dialog);
  const HGDIOBJ oldFont = SelectObject(dc, window.textFont.get());
  SIZE size{};
  GetTextExtentPoint32W(dc, label.c_str(), static_cast<int>(label.size()), &size);
  SelectObject(dc, oldFont);
  ReleaseDC(dialog, dc);
  const RECT client = ClientRect(dialog);
  return ErrorLabelRect(window.crosses[i], {size.cx, size.cy}, client.right, client.bottom);
}

// The size of `text` in the text font, wrapped at word breaks to at most maxWidth pixels.
TextSize MeasureWrapped(HWND dialog, const CheckWindow& window, const std::wstring& text, std::int32_t maxWidth) {
  HDC dc = GetDC(dialog);
  const HGDIOBJ oldFont = SelectObject(dc, window.textFont.get());
  RECT bounds{0, 0, maxWidth, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &bounds, DT_CALCRECT | DT_WORDBREAK | DT_CENTER);
  SelectObject(dc, oldFont);
  ReleaseDC(dialog, dc);
  return {bounds.right - bounds.left, bounds.bottom - bounds.top};
}

// What the result screen must leave clear: each cross's arms and the error written beside it.
std::vector<ScreenRect> CrossesAndLabels(HWND dialog, const CheckWindow& window) {
  std::vector<ScreenRect> taken;
  for (std::uint32_t i = 0; i < kCheckCrosses; ++i) {
    const Pixel cross = window.crosses[i];
    taken.push_back({cross.x - kCrossArm, cross.y - kCrossArm, cross.x + kCrossArm + 1, cross.y + kCrossArm + 1});
    taken.push_back(LabelRect(dialog, window, i));
  }
  return taken;
}

void Move(HWND dialog, int control, const ScreenRect& r) {
  Move(dialog, control, r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void ShowResult(HWND dialog, CheckWindow& window) {
  const RECT client = ClientRect(dialog);
  window.verdict = JudgeCheck(window.crosses, window.progress.landed, client.right);
  ShowWindow(GetDlgItem(dialog, IDC_CHECK_PROMPT), SW_HIDE);
  const std::wstring verdict = VerdictText(window.verdict);
  const std::wstring figures = FiguresText(window.verdict);
  const ResultLayout layout = LayOutResult(
      client.right, client.bottom, CrossesAndLabels(dialog, window),
      [&](std::int32_t maxWidth) { return MeasureWrapped(dialog, window, verdict, maxWidth); },
      [&](std::int32_t maxWidth) { return MeasureWrapped(dialog, window, figures, maxWidth); });
  Move(dialog, IDC_CHECK_VERDICT, layout.verdict);
  Move(dialog, IDC_CHECK_FIGURES, layout.figures);
  Move(dialog, IDC_CHECK_DONE, layout.done);
  Move(dialog, IDC_CHECK_AGAIN, layout.again);
  // "Calibrate again" fits a smaller button in the text's font.
  const bool small = layout.done.right - layout.done.left < kLargeButtonWidth;
  for (const int control : {IDC_CHECK_DONE, IDC_CHECK_AGAIN}) {
    SendDlgItemMessageW(dialog, control, WM_SETFONT,
                        reinterpret_cast<WPARAM>((small ? window.textFont : window.buttonFont).get()), FALSE);
  }
  SetDlgItemTextW(dialog, IDC_CHECK_VERDICT, verdict.c_str());
  SetDlgItemTextW(dialog, IDC_CHECK_FIGURES, figures.c_str());
  for (const int control : {IDC_CHECK_VERDICT, IDC_CHECK_FIGURES, IDC_CHECK_DONE, IDC_CHECK_AGAIN}) {
    ShowWindow(GetDlgItem(dialog, control), SW_SHOW);
  }
  InvalidateRect(dialog, nullptr, TRUE);
}

void Open(HWND dialog, CheckWindow& window) {
  // Named without a caption bar, which would move the client area off the screen's pixels.
  SetWindowTextW(dialog, L"Calibration check");
  window.textFont = velno::BoldArialFont(22);
  window.buttonFont = velno::BoldArialFont(30);
  for (const int control : {IDC_CHECK_PROMPT, IDC_CHECK_VERDICT, IDC_CHECK_FIGURES}) {
    SendDlgItemMessageW(dialog, control, WM_SETFONT, reinterpret_cast<WPARAM>(window.textFont.get()), FALSE);
  }
  for (const int control : {IDC_CHECK_DONE, IDC_CHECK_AGAIN}) {
    SendDlgItemMessageW(dialog, control, WM_SETFONT, reinterpret_cast<WPARAM>(window.buttonFont.get()), FALSE);
  }
  BringWindowToTop(dialog);
  velno::CoverMonitor(dialog, MonitorOfPass(window.screen));
  const RECT client = ClientRect(dialog);
  for (std::uint32_t i = 0; i < kCheckCrosses; ++i) {
    window.crosses[i] = CheckCrossPoint(i, window.count, client.right, client.bottom);
  }
  ShowCross(dialog, window);
  window.openedAt = GetTickCount64();
  velno::StartPolling(dialog, kCheckTimerPeriodMs);
}

void End(HWND dialog, CheckWindow& window, CheckOutcome outcome) {
  window.outcome = outcome;
  velno::EndModal(dialog, 0);
}

std::uint64_t SinceOpening(const CheckWindow& window) { return GetTickCount64() - window.openedAt; }

void Step(HWND dialog, CheckWindow& window, const CheckEvent& event) {
  switch (StepCheck(window.progress, event)) {
    case CheckStep::ShowNextCross:
      ShowCross(dialog, window);
      break;
    case CheckStep::ShowResult:
      ShowResult(dialog, window);
      break;
    case CheckStep::EndAsDone:
      End(dialog, window, CheckOutcome::Done);
      break;
    case CheckStep::Nothing:
      break;
  }
}

void DrawLine(HDC dc, Pixel from, Pixel to) {
  MoveToEx(dc, from.x, from.y, nullptr);
  LineTo(dc, to.x, to.y);
}

void DrawCross(HDC dc, Pixel at) {
  DrawLine(dc, {at.x - kCrossArm, at.y}, {at.x + kCrossArm + 1, at.y});
  DrawLine(dc, {at.x, at.y - kCrossArm}, {at.x, at.y + kCrossArm + 1});
}

// While the crosses show, only the one on show; on the result screen every cross, a line to where it
// landed, and its error beside it.
void Paint(HWND dialog, const CheckWindow& window) {
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(dialog, &paint);
  const velno::OwnedPen crossPen(CreatePen(PS_SOLID, 3, kCrossColour));
  const velno::OwnedPen landedPen(CreatePen(PS_SOLID, 3, kLandedColour));
  const HGDIOBJ oldPen = SelectObject(dc, crossPen.get());
  const HGDIOBJ oldFont = SelectObject(dc, window.textFont.get());
  SetBkMode(dc, TRANSPARENT);
  const std::uint32_t shown = window.progress.shown;
  const Pixel* landed = window.progress.landed.data();
  const bool result = shown >= kCheckCrosses;
  for (std::uint32_t i = result ? 0 : shown; i < (result ? kCheckCrosses : shown + 1); ++i) {
    SelectObject(dc, crossPen.get());
    DrawCross(dc, window.crosses[i]);
    if (!result) continue;
    SelectObject(dc, landedPen.get());
    DrawLine(dc, window.crosses[i], landed[i]);
    Ellipse(dc, landed[i].x - 4, landed[i].y - 4, landed[i].x + 5, landed[i].y + 5);
    SetTextColor(dc, kCrossColour);
    const std::wstring label = ErrorLabel(window, i);
    const ScreenRect at = LabelRect(dialog, window, i);
    TextOutW(dc, at.left, at.top, label.c_str(), static_cast<int>(label.size()));
  }
  SelectObject(dc, oldFont);
  SelectObject(dc, oldPen);
  EndPaint(dialog, &paint);
}

INT_PTR CheckProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, CheckWindow& window) {
  switch (message) {
    case WM_INITDIALOG:
      Open(dialog, window);
      return TRUE;
    case WM_LBUTTONDOWN:
      Step(dialog, window, {CheckEventKind::PenDown, SinceOpening(window)});
      return TRUE;
    case WM_LBUTTONUP:
      Step(dialog, window, {CheckEventKind::PenUp, SinceOpening(window), {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}});
      return TRUE;
    case WM_TIMER:
      // A second copy of the tool asks this one to end; so does a check nobody touches.
      if (velno::IsPollTick(wParam)) {
        Step(dialog, window, {CheckEventKind::Tick, SinceOpening(window), {}, velno::TakeSignal(window.handOff)});
      }
      return TRUE;
    case WM_PAINT:
      Paint(dialog, window);
      return TRUE;
    case WM_CTLCOLORSTATIC: {
      // The verdict in green when good, else in the red of the lines to where the pen landed.
      if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) != IDC_CHECK_VERDICT) return FALSE;
      const auto dc = reinterpret_cast<HDC>(wParam);
      SetTextColor(dc, window.verdict.good ? kGoodColour : kLandedColour);
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_COMMAND:
      // "Calibrate again" runs the pass once more; "Done", Esc, Enter and a close request end the check.
      if (LOWORD(wParam) == IDC_CHECK_AGAIN) End(dialog, window, CheckOutcome::CalibrateAgain);
      if (LOWORD(wParam) == IDC_CHECK_DONE || LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) {
        End(dialog, window, CheckOutcome::Done);
      }
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

CheckOutcome RunCheckDialog(HINSTANCE instance, const PassScreen& screen, std::uint32_t count, HANDLE handOff) {
  CheckWindow window{screen, count, handOff};
  // The pen is the pointer again; the target window hid it.
  velno::RunDialog<CheckProcedure>(instance, IDD_CHECK_WINDOW, velno::Cursor::Shown, window);
  return window.outcome;
}

}  // namespace adjust
