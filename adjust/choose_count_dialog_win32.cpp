// The choosers of a count: the calibration's points (4 to 25) and the touch buttons printed on the board
// (1 to 20). A count button stores its count and closes the chooser with OK.
#include "dialog_window_win32.h"
#include "dialogs_win32.h"
#include "point_count_choice.h"
#include "resource_ids.h"
#include "touch_button_setup.h"

namespace adjust {
namespace {

struct Chooser {
  PassScreen screen;
  std::uint32_t (*countFor)(int controlId);
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
      return TRUE;  // the focus goes to the first control, the smallest count
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (const std::uint32_t count = chooser.countFor(id); count != 0) {
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

ChooserResult RunChooser(HINSTANCE instance, int templateId, Chooser chooser) {
  const INT_PTR result = velno::RunDialog<ChooserProcedure>(instance, templateId, velno::Cursor::Shown, chooser);
  return {result == IDOK, chooser.count};
}

}  // namespace

ChooserResult RunChooseCountDialog(HINSTANCE instance, const PassScreen& screen) {
  return RunChooser(instance, IDD_CHOOSE_COUNT, {screen, CountForButton});
}

ChooserResult RunChoosePrintedButtonsDialog(HINSTANCE instance) {
  return RunChooser(instance, IDD_CHOOSE_PRINTED_BUTTONS, {PassScreen{}, PrintedButtonCountForControl});
}

}  // namespace adjust
