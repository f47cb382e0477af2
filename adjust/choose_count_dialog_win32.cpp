#include "dialog_window_win32.h"
#include "dialogs_win32.h"
#include "point_count_choice.h"
#include "resource_ids.h"

namespace adjust {
namespace {

struct Chooser {
  PassScreen screen;
  std::uint32_t count = 0;
};

// On the extended monitor for an extended pass; otherwise centred on the primary screen's work area, as
// a dialog that did not place itself is.
void Place(HWND dialog, const Chooser& chooser) {
  RECT window{};
  GetWindowRect(dialog, &window);
  ScreenRect area = chooser.screen.rect;
  if (chooser.screen.flag == 0) {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    area = {work.left, work.top, work.right, work.bottom};
  }
  const WindowPosition at = CentredOn(area, window.right - window.left, window.bottom - window.top);
  SetWindowPos(dialog, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR ChooserProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM, Chooser& chooser) {
  switch (message) {
    case WM_INITDIALOG:
      Place(dialog, chooser);
      return TRUE;  // the focus goes to the first control, "4 Points"
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (const std::uint32_t count = CountForButton(id); count != 0) {
        chooser.count = count;
        velno::EndModal(dialog, IDOK);
      } else if (id == IDOK) {
        velno::EndModal(dialog, IDOK);  // the standard OK carries no count
      } else if (id == IDC_CHOOSER_CANCEL || id == IDCANCEL) {
        velno::EndModal(dialog, IDCANCEL);  // the Cancel button, Esc and the close box
      }
      return TRUE;
    }
    default:
      return FALSE;
  }
}

}  // namespace

ChooserResult RunChooseCountDialog(HINSTANCE instance, const PassScreen& screen) {
  Chooser chooser{screen};
  const INT_PTR result = velno::RunDialog<ChooserProcedure>(instance, IDD_CHOOSE_COUNT, velno::Cursor::Shown, chooser);
  return {result == IDOK, chooser.count};
}

}  // namespace adjust
