// "Check the calibration" when there is none yet: the message and its two buttons.
#include "dialog_window_win32.h"
#include "dialogs_win32.h"
#include "resource_ids.h"

namespace adjust {
namespace {

struct NoCalibration {};

INT_PTR NoCalibrationProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM, NoCalibration&) {
  if (message == WM_INITDIALOG) return TRUE;
  if (message != WM_COMMAND) return FALSE;
  const int id = LOWORD(wParam);
  if (id == IDC_NO_CALIBRATION_CALIBRATE || id == IDOK) velno::EndModal(dialog, IDC_NO_CALIBRATION_CALIBRATE);
  if (id == IDCANCEL) velno::EndModal(dialog, IDCANCEL);  // "Close", Esc and the close box
  return TRUE;
}

}  // namespace

bool RunNoCalibrationDialog(HINSTANCE instance) {
  NoCalibration state;
  return velno::RunDialog<NoCalibrationProcedure>(instance, IDD_NO_CALIBRATION, velno::Cursor::Shown, state) ==
         IDC_NO_CALIBRATION_CALIBRATE;
}

}  // namespace adjust
