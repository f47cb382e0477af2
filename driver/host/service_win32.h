// The service roles of VelnoDriver.exe: installing and removing the service "VelnoDriver", and running
// as it under the service manager.
#pragma once

#include <string>

namespace velno {

inline constexpr const wchar_t* kServiceName = L"VelnoDriver";

// How "/c" or "/d" ended: the program's exit code (0 when done) and what the person who ran it reads.
struct CommandOutcome {
  int exitCode = 0;
  std::wstring message;
};

// "c": installs the service (automatic start, own process, LocalSystem, restarted after a failure) for
// the program that runs with `commandLine`, and registers the event source; the service's binary path
// is that line before its switch, which must name the program by its full path.
CommandOutcome InstallService(const wchar_t* commandLine);
// "d": removes the service and the event source; a running service is not stopped first.
CommandOutcome RemoveService();
// No switch: hands the main thread to the service manager until the service has stopped. Started by
// hand outside the service manager it fails and returns.
void RunServiceDispatcher();

}  // namespace velno
