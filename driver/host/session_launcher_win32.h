// Starting a program as the user logged on at the physical console, on that user's desktop: the
// identity is borrowed from the desktop shell running in the active console session.
#pragma once

#include <windows.h>

namespace velno {

inline constexpr const wchar_t* kShellProcessName = L"Explorer.EXE";

// A token of the first process named `processName` (compared without regard to case) that runs in the
// active console session; FALSE when there is none. The caller closes the token.
BOOL FindSessionShellToken(HANDLE* token, const wchar_t* processName);

// Starts `applicationPath` with `commandLine` as the console session's shell user, on "winsta0\default";
// the new process's handle (the caller closes it), or null on any failure.
HANDLE LaunchInUserSession(const wchar_t* applicationPath, const wchar_t* commandLine);

}  // namespace velno
