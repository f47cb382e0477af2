// post_command.exe <title> <id>: clicks control <id> of the visible dialog window titled <title> (an empty
// title finds the calibration tool's target window) by posting the button's WM_COMMAND to the dialog, as
// a click does. Exit code 0 when posted, 1 when no such window is shown.
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  HWND dialog = FindWindowW(L"#32770", argv[1]);
  if (dialog == nullptr || !IsWindowVisible(dialog)) return 1;
  const int id = static_cast<int>(std::wcstol(argv[2], nullptr, 10));
  return PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)))
             ? 0
             : 1;
}
