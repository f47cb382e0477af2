// WaitForDriverExit.exe "<folder>\VelnoDriver.exe": run by the package after it has stopped the
// VelnoDriver service and before it replaces or removes files. The stopped service has set its stop
// signal; the user-session driver sees it at the end of its current pass and ends by itself (a driver
// started by hand sees the named stop event). Until every process of that program file is gone its files
// are in use, and Windows would ask for a reboot.
// Waits for them to end, ends any that is still there after the grace time, and exits with 0 once none
// is left. One that could not be ended is reported to the event log and the exit code is 1, which the
// package logs and goes on: a driver left running is no reason to undo an install or a removal.
#include <windows.h>
#include <tlhelp32.h>

#include "platform/log_events.h"

#include <string>
#include <vector>

namespace {

constexpr DWORD kGraceMilliseconds = 20000;
constexpr DWORD kPollMilliseconds = 50;
constexpr DWORD kTerminateWaitMilliseconds = 5000;

bool SameText(const wchar_t* a, const wchar_t* b) {
  return CompareStringOrdinal(a, -1, b, -1, TRUE) == CSTR_EQUAL;
}

const wchar_t* FileNameOf(const std::wstring& path) {
  const auto slash = path.find_last_of(L"\\/");
  return path.c_str() + (slash == std::wstring::npos ? 0 : slash + 1);
}

bool RunsProgram(DWORD processId, const std::wstring& program) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  if (process == nullptr) {
    return false;
  }
  wchar_t image[MAX_PATH * 2];
  DWORD size = MAX_PATH * 2;
  const bool same = QueryFullProcessImageNameW(process, 0, image, &size) && SameText(image, program.c_str());
  CloseHandle(process);
  return same;
}

// The running processes started from the program file `program` (a full path).
std::vector<DWORD> ProcessesOf(const std::wstring& program) {
  std::vector<DWORD> ids;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) {
    return ids;
  }
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    if (SameText(entry.szExeFile, FileNameOf(program)) && RunsProgram(entry.th32ProcessID, program)) {
      ids.push_back(entry.th32ProcessID);
    }
  }
  CloseHandle(snapshot);
  return ids;
}

bool WaitUntilGone(const std::wstring& program, DWORD milliseconds) {
  const ULONGLONG deadline = GetTickCount64() + milliseconds;
  while (!ProcessesOf(program).empty()) {
    if (GetTickCount64() >= deadline) {
      return false;
    }
    Sleep(kPollMilliseconds);
  }
  return true;
}

void EndProcess(DWORD processId) {
  HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId);
  if (process != nullptr) {
    TerminateProcess(process, 1);
    WaitForSingleObject(process, kTerminateWaitMilliseconds);
    CloseHandle(process);
  }
}

void ReportNotEnded(const std::wstring& program) {
  HANDLE log = RegisterEventSourceW(nullptr, L"VelnoDriver");
  if (log == nullptr) {
    return;
  }
  const wchar_t* words[] = {program.c_str()};
  ReportEventW(log, EVENTLOG_WARNING_TYPE, 0, static_cast<DWORD>(velno::LogEvent::DriverNotEnded), nullptr, 1, 0,
               words, nullptr);
  DeregisterEventSource(log);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    return 2;
  }
  const std::wstring program = argv[1];
  if (WaitUntilGone(program, kGraceMilliseconds)) {
    return 0;
  }
  for (DWORD id : ProcessesOf(program)) {
    EndProcess(id);
  }
  if (!ProcessesOf(program).empty()) {
    ReportNotEnded(program);
    return 1;
  }
  return 0;
}
