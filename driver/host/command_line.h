// The program's role, from the text after the last '/' of its command line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velno {

enum class ProgramRole {
  Service,  // no '/' at all: started by the service manager
  Install,  // "c"
  Remove,   // "d"
  Driver,   // "service": the pen-input driver in the user's session
  OpenSettings,  // "settings": the settings window of the driver running in this session
  None,     // any other switch
};

ProgramRole RoleFromCommandLine(std::wstring_view commandLine);

// The command line the service launches the driver with: the handle of its stop signal, which the driver
// inherits, then the role, so that "/service" stays the text after the last '/'.
std::wstring DriverCommandLine(std::uintptr_t stopSignal);
// That handle, read back by the driver; none in a line without it (a driver started by hand).
std::optional<std::uintptr_t> StopSignalFromCommandLine(std::wstring_view commandLine);

// The service's binary path for the program that runs with `commandLine`: the line before its last
// '/'. A quoted path is kept as it comes (quotes and the blank before the switch included). An unquoted
// path that holds a blank is quoted: the service manager would otherwise try "C:\Program.exe" first.
std::wstring ServiceBinaryPath(std::wstring_view commandLine);

// Whether a service's binary path names its program from a drive's root ("C:\...") or a share
// ("\\server\..."), quoted or not. The service manager starts a program from its own folder, so a
// path relative to the folder "/c" was run in would name no program, or another one.
bool IsFullProgramPath(std::wstring_view binaryPath);

}  // namespace velno
