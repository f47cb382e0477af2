#include "session_launcher_win32.h"

#include <tlhelp32.h>
#include <userenv.h>
#include <wtsapi32.h>

#include <cwchar>
#include <string>
#include <vector>

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

// The identity to launch with: the console session's shell first, as the person at the board sees it;
// without one, the session's own user token. Null when nobody is logged on at the console.
HANDLE ConsoleUserToken(DWORD session) {
  HANDLE token = nullptr;
  if (FindSessionShellToken(&token, kShellProcessName)) return token;
  if (WTSQueryUserToken(session, &token)) return token;
  return nullptr;
}

std::wstring UserOf(HANDLE token) {
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::vector<unsigned char> buffer(size);
  if (size == 0 || !GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) return L"an unknown user";
  wchar_t name[256] = {};
  wchar_t domain[256] = {};
  DWORD nameLength = 256;
  DWORD domainLength = 256;
  SID_NAME_USE use{};
  if (!LookupAccountSidW(nullptr, reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, name, &nameLength, domain,
                         &domainLength, &use)) {
    return L"an unknown user";
  }
  return domainLength > 0 ? std::wstring(domain) + L"\\" + name : std::wstring(name);
}

std::wstring FolderOf(const wchar_t* path) {
  const std::wstring full = path;
  const std::size_t slash = full.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : full.substr(0, slash);
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

namespace {

// The start-up record that lets exactly `inherited` through to the new process. Owns the attribute list.
class InheritOnly {
 public:
  explicit InheritOnly(HANDLE* inherited) {
    startup_.StartupInfo.cb = sizeof(startup_);
    if (*inherited == nullptr) return;
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    list_.resize(size);
    auto* attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(list_.data());
    if (InitializeProcThreadAttributeList(attributes, 1, 0, &size) &&
        UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited, sizeof(HANDLE), nullptr,
                                  nullptr)) {
      startup_.lpAttributeList = attributes;
    }
  }
  ~InheritOnly() {
    if (startup_.lpAttributeList != nullptr) DeleteProcThreadAttributeList(startup_.lpAttributeList);
  }
  InheritOnly(const InheritOnly&) = delete;
  InheritOnly& operator=(const InheritOnly&) = delete;

  STARTUPINFOEXW& startup() { return startup_; }
  bool listed() const { return startup_.lpAttributeList != nullptr; }

 private:
  STARTUPINFOEXW startup_{};
  std::vector<unsigned char> list_;
};

}  // namespace

SessionLaunch LaunchInUserSession(const wchar_t* applicationPath, const wchar_t* commandLine, HANDLE inherited,
                                  HANDLE job) {
  SessionLaunch launch;
  launch.session = WTSGetActiveConsoleSessionId();
  if (applicationPath == nullptr) return launch;
  HANDLE token = ConsoleUserToken(launch.session);
  if (token == nullptr) return launch;
  launch.user = UserOf(token);

  wchar_t desktop[] = L"winsta0\\default";
  InheritOnly inheritance(&inherited);
  inheritance.startup().StartupInfo.lpDesktop = desktop;
  // The platform may write into the command line, so it gets a copy of its own.
  std::wstring writableCommandLine = commandLine != nullptr ? commandLine : L"";
  // The user's own environment, not the service's; without it the process would get the service's.
  void* environment = nullptr;
  const DWORD unicode = CreateEnvironmentBlock(&environment, token, FALSE) ? CREATE_UNICODE_ENVIRONMENT : 0;
  const DWORD listed = inheritance.listed() ? EXTENDED_STARTUPINFO_PRESENT : 0;
  const std::wstring folder = FolderOf(applicationPath);
  PROCESS_INFORMATION created{};
  // Suspended until it is in the job, so that not one of its instructions runs outside it.
  const BOOL ok = CreateProcessAsUserW(token, applicationPath, writableCommandLine.data(), nullptr, nullptr,
                                       inheritance.listed(), CREATE_NEW_PROCESS_GROUP | CREATE_SUSPENDED | unicode | listed,
                                       environment, folder.empty() ? nullptr : folder.c_str(),
                                       &inheritance.startup().StartupInfo, &created);
  launch.error = ok ? 0 : GetLastError();
  if (environment != nullptr) DestroyEnvironmentBlock(environment);
  CloseHandle(token);
  if (!ok) return launch;
  // A process already in a job that allows no other (older Windows) runs without it: the pen comes first.
  if (job != nullptr) AssignProcessToJobObject(job, created.hProcess);
  ResumeThread(created.hThread);
  CloseHandle(created.hThread);
  launch.process = created.hProcess;
  return launch;
}

}  // namespace velno
