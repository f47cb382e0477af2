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
      // Reader threads may still be inside a read when RunDriver returns; they leave on the stop flag.
      // What they use must outlive the process's exit, so it is never destroyed.
      auto* platform = new velno::Win32DriverPlatform;
      auto* driver = new velno::Driver(*platform);
      velno::RunDriver(*driver);
      break;
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
