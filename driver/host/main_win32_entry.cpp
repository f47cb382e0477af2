// VelnoDriver.exe: a windowless program; the text after the last '/' of its command line picks the role.
#include <windows.h>

#include "command_line.h"
#include "driver_platform_win32.h"
#include "driver_supervisor.h"
#include "service_win32.h"

namespace {

void DispatchCommandLine() {
  velno::SetSettingsPath();
  const wchar_t* commandLine = GetCommandLineW();
  switch (velno::RoleFromCommandLine(commandLine)) {
    case velno::ProgramRole::Service:
      velno::RunServiceDispatcher();
      break;
    case velno::ProgramRole::Install:
      velno::InstallService(commandLine);
      break;
    case velno::ProgramRole::Remove:
      velno::RemoveService();
      break;
    case velno::ProgramRole::Driver: {
      // Reader threads may still be inside a read (up to a second) when RunDriver returns, and may then
      // save settings. Returning from wWinMain would run the static destructors (the settings path, the
      // section name, the runtime's own objects) while they still run. ExitProcess ends the other
      // threads first, so nothing a reader uses is destroyed under it; the driver lives on the heap.
      auto* platform = new velno::Win32DriverPlatform;
      auto* driver = new velno::Driver(*platform);
      velno::RunDriver(*driver);
      ExitProcess(0);
    }
    case velno::ProgramRole::None:
      break;
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  DispatchCommandLine();
  return 0;
}
