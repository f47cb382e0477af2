// VelnoDriver.exe: a windowless program; the text after the last '/' of its command line picks the role.
#include <windows.h>

#include "command_line.h"
#include "driver_platform_win32.h"
#include "driver_supervisor.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  velno::SetSettingsPath();
  switch (velno::RoleFromCommandLine(GetCommandLineW())) {
    case velno::ProgramRole::Driver: {
      // Reader threads may still be inside a read when RunDriver returns; they leave on the stop flag.
      // What they use must outlive the process's exit, so it is never destroyed.
      auto* platform = new velno::Win32DriverPlatform;
      auto* driver = new velno::Driver(*platform);
      velno::RunDriver(*driver);
      break;
    }
    default:
      break;
  }
  return 0;
}
