// The end of a touch-button set-up: how many buttons were set up, and "Close".
#include <string>

#include "dialog_window_win32.h"
#include "dialogs_win32.h"
#include "resource_ids.h"
#include "touch_button_setup.h"

namespace adjust {
namespace {

struct SetUp {
  std::uint32_t count;
};

INT_PTR SetUpProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM, SetUp& setUp) {
  if (message == WM_INITDIALOG) {
    SetDlgItemTextW(dialog, IDC_TOUCH_BUTTONS_SET_UP_TEXT, TouchButtonsSetUpText(setUp.count).c_str());
    return TRUE;
  }
  if (message != WM_COMMAND) return FALSE;
  const int id = LOWORD(wParam);
  if (id == IDOK || id == IDCANCEL) velno::EndModal(dialog, id);  // "Close", Enter, Esc and the close box
  return TRUE;
}

}  // namespace

void RunTouchButtonsSetUpDialog(HINSTANCE instance, std::uint32_t count) {
  SetUp state{count};
  velno::RunDialog<SetUpProcedure>(instance, IDD_TOUCH_BUTTONS_SET_UP, velno::Cursor::Shown, state);
}

}  // namespace adjust
