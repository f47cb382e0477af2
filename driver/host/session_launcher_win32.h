// Starting a program as the user logged on at the physical console, on that user's desktop: the
// identity is borrowed from the desktop shell running in the active console session, or, where no
// "Explorer.EXE" runs (a kiosk or replacement shell), taken from the session itself.
#pragma once

#include <windows.h>

#include <string>

namespace velno {

inline constexpr const wchar_t* kShellProcessName = L"Explorer.EXE";

// A token of the first process named `processName` (compared without regard to case) that runs in the
// active console session; FALSE when there is none. The caller closes the token.
BOOL FindSessionShellToken(HANDLE* token, const wchar_t* processName);

// How a launch went: the new process (the caller closes it) or null, the console session and, when a user
// was found, that user's name and the error of a failed creation.
struct SessionLaunch {
  HANDLE process = nullptr;
  DWORD session = 0;
  std::wstring user;  // "DOMAIN\name"; empty when nobody is logged on at the console
  DWORD error = 0;
};

// Starts `applicationPath` with `commandLine` as the console session's user, on "winsta0\default", with
// that user's environment and the program's own folder as working directory. It inherits `inherited` (an
// inheritable handle, or null) and no other handle, and runs in `job` (or none) from its first instruction.
SessionLaunch LaunchInUserSession(const wchar_t* applicationPath, const wchar_t* commandLine, HANDLE inherited,
                                  HANDLE job);

}  // namespace velno
