// Adjust.exe: the calibration tool. Its mode comes from its program name; "/check" checks the saved
// calibration instead, "/buttons" sets up the touch buttons printed on the board.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "adjust_platform_win32.h"
#include "adjust_startup.h"
#include "program_name.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // The program path as the standard command-line splitting gives it, quotes removed.
  int count = 0;
  LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
  const std::wstring programPath = words != nullptr && count > 0 ? words[0] : L"";
  adjust::ToolMode mode = adjust::ToolMode::Calibrate;
  for (int i = 1; i < count; ++i) {
    if (adjust::IsCheckSwitch(words[i])) mode = adjust::ToolMode::Check;
    if (adjust::IsTouchButtonSwitch(words[i])) mode = adjust::ToolMode::TouchButtons;
  }
  LocalFree(words);

  adjust::Win32AdjustPlatform platform(instance);
  adjust::RunAdjust(platform, programPath, mode);
  return 0;
}
