// About Velno: the version, the board's state in the icon's words (kept up to date while it shows, so a
// teacher can watch the board being found), and where IT reads what the driver did.
#include <windows.h>

#include "dialog_window_win32.h"
#include "driver_resource_ids.h"
#include "driver_windows_win32.h"
#include "status_snapshot.h"
#include "tray/status_words.h"

namespace velno {
namespace {

constexpr UINT kRefreshMs = 500;

struct AboutWindow {
  Driver& driver;
  std::wstring shownState;
};

void Refresh(HWND dialog, AboutWindow& window) {
  std::wstring state = DescribeStatus(ReadDriverStatus(window.driver)).tooltip;
  if (state == window.shownState) return;
  SetDlgItemTextW(dialog, IDC_ABOUT_STATE, state.c_str());
  window.shownState = std::move(state);
}

INT_PTR AboutProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM, AboutWindow& window) {
  switch (message) {
    case WM_INITDIALOG:
      SetDlgItemTextW(dialog, IDC_ABOUT_VERSION, L"Velno whiteboard driver, version " VELNO_VERSION_TEXT);
      Refresh(dialog, window);
      StartPolling(dialog, kRefreshMs);
      return TRUE;
    case WM_TIMER:
      if (IsPollTick(wParam)) Refresh(dialog, window);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndModal(dialog, IDOK);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

void RunAboutWindow(HINSTANCE instance, Driver& driver) {
  AboutWindow window{driver, {}};
  RunDialog<AboutProcedure>(instance, IDD_ABOUT, Cursor::Shown, window);
}

}  // namespace velno
