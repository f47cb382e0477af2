// The service roles of VelnoDriver.exe: installing and removing the service "VelnoDriver", and running
// as it under the service manager.
#pragma once

namespace velno {

inline constexpr const wchar_t* kServiceName = L"VelnoDriver";

// "c": installs the service (automatic start, own process, LocalSystem) for the program that runs with
// `commandLine`; the service's binary path is that line before its switch.
void InstallService(const wchar_t* commandLine);
// "d": removes the service; a running service is not stopped first.
void RemoveService();
// No switch: hands the main thread to the service manager until the service has stopped. Started by
// hand outside the service manager it fails and returns.
void RunServiceDispatcher();

}  // namespace velno
