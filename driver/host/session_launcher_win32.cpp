#include "session_launcher_win32.h"

#include <tlhelp32.h>

#include <cwchar>
#include <string>

namespace velno {
namespace {

// The token of a process, or null when the process or its token cannot be opened.
HANDLE OpenTokenOfProcess(DWORD processId) {
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId);
  if (process == nullptr) return nullptr;
  HANDLE token = nullptr;
  if (!OpenProcessToken(process, TOKEN_ALL_ACCESS, &token)) token = nullptr;
  CloseHandle(process);
  return token;
}

}  // namespace

BOOL FindSessionShellToken(HANDLE* token, const wchar_t* processName) {
  if (processName == nullptr) return FALSE;
  const DWORD consoleSession = WTSGetActiveConsoleSessionId();
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return FALSE;

  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  // The first process of that name in the console session, in snapshot order, wins.
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    if (_wcsicmp(entry.szExeFile, processName) != 0) continue;
    HANDLE candidate = OpenTokenOfProcess(entry.th32ProcessID);
    if (candidate == nullptr) continue;
    DWORD session = 0;
    DWORD returned = 0;
    if (GetTokenInformation(candidate, TokenSessionId, &session, sizeof(session), &returned) &&
        session == consoleSession) {
      CloseHandle(snapshot);
      *token = candidate;
      return TRUE;
    }
    CloseHandle(candidate);
  }
  CloseHandle(snapshot);
  return FALSE;
}

HANDLE LaunchInUserSession(const wchar_t* applicationPath, const wchar_t* commandLine) {
  if (applicationPath == nullptr) return nullptr;
  HANDLE token = nullptr;
  if (!FindSessionShellToken(&token, kShellProcessName)) return nullptr;

  wchar_t desktop[] = L"winsta0\\default";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.lpDesktop = desktop;
  // The platform may write into the command line, so it gets a copy of its own.
  std::wstring writableCommandLine = commandLine != nullptr ? commandLine : L"";
  PROCESS_INFORMATION created{};
  const BOOL ok = CreateProcessAsUserW(token, applicationPath, writableCommandLine.data(), nullptr, nullptr, TRUE,
                                       CREATE_NEW_PROCESS_GROUP, nullptr, nullptr, &startup, &created);
  CloseHandle(token);
  if (!ok) return nullptr;
  CloseHandle(created.hThread);
  return created.hProcess;
}

}  // namespace velno
