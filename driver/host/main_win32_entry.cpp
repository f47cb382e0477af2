// VelnoDriver.exe: a windowless program; the text after the last '/' of its command line picks the role.
#include <windows.h>

#include "command_line.h"
#include "driver_platform_win32.h"
#include "driver_supervisor.h"
#include "driver_windows_win32.h"
#include "service_win32.h"
#include "user_message_win32.h"

namespace {

int Tell(const wchar_t* command, const velno::CommandOutcome& outcome) {
  velno::ShowUserMessage(command, outcome.message, outcome.exitCode != 0);
  return outcome.exitCode;
}

// The program's exit code: that of "/c" and "/d"; of "/settings" 1 when no driver runs; 0 otherwise.
int DispatchCommandLine() {
  velno::SetSettingsPath();
  const wchar_t* commandLine = GetCommandLineW();
  switch (velno::RoleFromCommandLine(commandLine)) {
    case velno::ProgramRole::Service:
      velno::RunServiceDispatcher();
      break;
    case velno::ProgramRole::Install:
      return Tell(L"/c", velno::InstallService(commandLine));
    case velno::ProgramRole::Remove:
      return Tell(L"/d", velno::RemoveService());
    case velno::ProgramRole::Driver: {
      // Reader threads may still be inside a read (up to a second) when RunDriver returns, and may then
      // save settings. Returning from wWinMain would run the static destructors (the settings path, the
      // section name, the runtime's own objects) while they still run. ExitProcess ends the other
      // threads first, so nothing a reader uses is destroyed under it; the driver lives on the heap.
      auto* platform = new velno::Win32DriverPlatform;
      auto* driver = new velno::Driver(platform->Roles());
      auto* windows = new velno::DriverWindows(*driver, *new velno::Win32ToolStarter);
      driver->statusChanged = [windows] { windows->StatusChanged(); };
      velno::RunDriver(*driver, [windows] { windows->Start(); });
      windows->Stop();  // the icon goes with the driver
      ExitProcess(0);
    }
    case velno::ProgramRole::OpenSettings:
      if (velno::OpenSettingsOfRunningDriver()) return 0;
      velno::ShowUserMessage(L"/settings",
                             L"The whiteboard's pen driver is not running, so its settings cannot be shown. "
                             L"Restart the PC; if that does not help, ask IT to look at the VelnoDriver service.",
                             true);
      return 1;
    case velno::ProgramRole::None:
      break;
  }
  return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  return DispatchCommandLine();
}
