#include "dialogs_win32.h"
#include "point_count_choice.h"
#include "resource_ids.h"

namespace adjust {
namespace {

struct Chooser {
  PassScreen screen;
  std::uint32_t count = 0;
};

Chooser& StateOf(HWND dialog) { return *reinterpret_cast<Chooser*>(GetWindowLongPtrW(dialog, DWLP_USER)); }

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

INT_PTR CALLBACK ChooserProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      // The target window hides the cursor again when it opens.
      ShowCursor(TRUE);
      Place(dialog, *reinterpret_cast<Chooser*>(lParam));
      return TRUE;  // the focus goes to the first control, "4 Points"
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (const std::uint32_t count = CountForButton(id); count != 0) {
        StateOf(dialog).count = count;
        EndDialog(dialog, IDOK);
      } else if (id == IDOK) {
        EndDialog(dialog, IDOK);  // the standard OK carries no count
      } else if (id == IDC_CHOOSER_CANCEL || id == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);  // the Cancel button, Esc and the close box
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
  const INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_CHOOSE_COUNT), nullptr, ChooserProcedure,
                                         reinterpret_cast<LPARAM>(&chooser));
  return {result == IDOK, chooser.count};
}

}  // namespace adjust
