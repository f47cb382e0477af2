// service_probe.exe: the service manager's view of the service "VelnoDriver", for the Wine tests.
//   service_probe.exe config          prints the stored configuration on one line
//   service_probe.exe status          prints the last reported status record on one line
//   service_probe.exe stop MS         sends a stop and waits up to MS for the stopped state, as
//                                     Windows' "net stop" does; prints the state it ended in
//   service_probe.exe hold [EVENT]    a windowless program that runs until killed: Wine keeps its
//                                     services only while some ordinary program runs. With EVENT, it
//                                     holds that named event open and set, as a driver that has not
//                                     yet seen a stop does
//   service_probe.exe squat NAME event|mutex
//                                     makes a named event (not set) or mutex before the service can, as
//                                     any user could, and holds it until killed
//   service_probe.exe kill            ends the service's process with TerminateProcess, as a crash would
//   service_probe.exe run APP LINE    runs APP with exactly the command line LINE (unquoted, say) and
//                                     waits for it; exits with its exit code
//   service_probe.exe unseen APP LINE the same with no console, no standard handles and a window station
//                                     nobody sees, as a deployment tool in session 0 runs it
//   service_probe.exe access EVENT    prints the access list of the named event in the security
//                                     descriptor language ("null" for a null access list)
//   service_probe.exe message PROGRAM ID [WORD...]
//                                     prints the message ID (hex) of PROGRAM's message table with the
//                                     words filled in, as the event viewer shows an event
// Exit code 0 on success, 3 when the service or the manager cannot be opened, 4 when a call fails,
// 5 when the stop did not complete in time.
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <cstdio>
#include <cwchar>
#include <vector>

namespace {

constexpr const wchar_t* kServiceName = L"VelnoDriver";

void PrintStatus(const SERVICE_STATUS& s) {
  std::wprintf(L"state=%lu type=0x%lx controls=%lu exit=%lu specific=%lu checkpoint=%lu hint=%lu\n",
               s.dwCurrentState, s.dwServiceType, s.dwControlsAccepted, s.dwWin32ExitCode,
               s.dwServiceSpecificExitCode, s.dwCheckPoint, s.dwWaitHint);
}

int PrintConfig(SC_HANDLE service) {
  DWORD needed = 0;
  QueryServiceConfigW(service, nullptr, 0, &needed);
  std::vector<unsigned char> buffer(needed);
  auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
  if (!QueryServiceConfigW(service, config, needed, &needed)) return 4;
  std::wprintf(L"type=0x%lx start=%lu error=%lu account=%ls path=[%ls]\n", config->dwServiceType,
               config->dwStartType, config->dwErrorControl,
               config->lpServiceStartName != nullptr ? config->lpServiceStartName : L"", config->lpBinaryPathName);
  return 0;
}

int Stop(SC_HANDLE service, DWORD timeoutMs) {
  SERVICE_STATUS status{};
  const ULONGLONG started = GetTickCount64();
  if (!ControlService(service, SERVICE_CONTROL_STOP, &status)) return 4;
  while (status.dwCurrentState != SERVICE_STOPPED && GetTickCount64() - started < timeoutMs) {
    Sleep(20);
    if (!QueryServiceStatus(service, &status)) return 4;
  }
  PrintStatus(status);
  return status.dwCurrentState == SERVICE_STOPPED ? 0 : 5;
}

int Run(const wchar_t* application, const wchar_t* commandLine, bool unseen = false) {
  std::vector<wchar_t> line(commandLine, commandLine + std::wcslen(commandLine) + 1);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  wchar_t desktop[] = L"velno_unseen\\Default";
  if (unseen) {
    FreeConsole();
    HWINSTA shown = GetProcessWindowStation();
    HWINSTA station = CreateWindowStationW(L"velno_unseen", 0, GENERIC_ALL, nullptr);
    if (station == nullptr || !SetProcessWindowStation(station)) return 4;
    const bool made = CreateDesktopW(L"Default", nullptr, nullptr, 0, GENERIC_ALL, nullptr) != nullptr;
    SetProcessWindowStation(shown);
    if (!made) return 4;
    startup.lpDesktop = desktop;
    startup.dwFlags = STARTF_USESTDHANDLES;  // all three null
  }
  PROCESS_INFORMATION created{};
  if (!CreateProcessW(application, line.data(), nullptr, nullptr, FALSE, unseen ? DETACHED_PROCESS : 0, nullptr,
                      nullptr, &startup, &created)) {
    return 4;
  }
  WaitForSingleObject(created.hProcess, INFINITE);
  DWORD code = 4;
  GetExitCodeProcess(created.hProcess, &code);
  CloseHandle(created.hThread);
  CloseHandle(created.hProcess);
  return static_cast<int>(code);
}

int PrintEventAccess(const wchar_t* name) {
  HANDLE event = OpenEventW(READ_CONTROL, FALSE, name);
  if (event == nullptr) return 3;
  PACL access = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  const DWORD read = GetSecurityInfo(event, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &access,
                                     nullptr, &descriptor);
  CloseHandle(event);
  if (read != ERROR_SUCCESS) return 4;
  wchar_t* text = nullptr;
  const bool converted = access == nullptr ||
                         ConvertSecurityDescriptorToStringSecurityDescriptorW(
                             descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr);
  if (converted) std::wprintf(L"%ls\n", access == nullptr ? L"null" : text);
  LocalFree(text);
  LocalFree(descriptor);
  return converted ? 0 : 4;
}

int PrintMessage(const wchar_t* program, const wchar_t* id, wchar_t** words) {
  HMODULE module = LoadLibraryExW(program, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module == nullptr) return 3;
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_ARGUMENT_ARRAY, module,
      static_cast<DWORD>(std::wcstoul(id, nullptr, 16)), 0, reinterpret_cast<wchar_t*>(&text), 0,
      reinterpret_cast<va_list*>(words));
  if (length != 0) std::wprintf(L"%ls", text);
  LocalFree(text);
  FreeLibrary(module);
  return length != 0 ? 0 : 4;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc >= 2 && std::wcscmp(argv[1], L"hold") == 0) {
    if (argc == 3) {
      HANDLE event = CreateEventW(nullptr, TRUE, FALSE, argv[2]);
      if (event == nullptr) return 4;
      SetEvent(event);
    }
    for (;;) Sleep(INFINITE);
  }
  if (argc == 4 && std::wcscmp(argv[1], L"run") == 0) return Run(argv[2], argv[3]);
  if (argc == 4 && std::wcscmp(argv[1], L"unseen") == 0) return Run(argv[2], argv[3], true);
  if (argc == 4 && std::wcscmp(argv[1], L"squat") == 0) {
    const bool mutex = std::wcscmp(argv[3], L"mutex") == 0;
    if ((mutex ? CreateMutexW(nullptr, FALSE, argv[2]) : CreateEventW(nullptr, TRUE, FALSE, argv[2])) == nullptr) {
      return 4;
    }
    for (;;) Sleep(INFINITE);
  }
  if (argc >= 4 && std::wcscmp(argv[1], L"message") == 0) {
    const int code = PrintMessage(argv[2], argv[3], argv + 4);
    std::fflush(stdout);
    return code;
  }
  if (argc == 3 && std::wcscmp(argv[1], L"access") == 0) {
    const int code = PrintEventAccess(argv[2]);
    std::fflush(stdout);
    return code;
  }
  if (argc < 2) return 2;
  SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
  if (manager == nullptr) return 3;
  SC_HANDLE service = OpenServiceW(manager, kServiceName, SERVICE_QUERY_CONFIG | SERVICE_QUERY_STATUS | SERVICE_STOP);
  if (service != nullptr && std::wcscmp(argv[1], L"kill") == 0) {
    SERVICE_STATUS_PROCESS status{};
    DWORD needed = 0;
    HANDLE process = nullptr;
    const bool killed =
        QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status), sizeof(status),
                             &needed) &&
        (process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, status.dwProcessId)) != nullptr &&
        TerminateProcess(process, 1) && WaitForSingleObject(process, 10000) == WAIT_OBJECT_0;
    return killed ? 0 : 4;
  }
  if (service == nullptr) return 3;
  int code = 2;
  if (std::wcscmp(argv[1], L"config") == 0) {
    code = PrintConfig(service);
  } else if (std::wcscmp(argv[1], L"status") == 0) {
    SERVICE_STATUS status{};
    code = QueryServiceStatus(service, &status) ? (PrintStatus(status), 0) : 4;
  } else if (std::wcscmp(argv[1], L"stop") == 0 && argc == 3) {
    code = Stop(service, static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)));
  }
  std::fflush(stdout);
  CloseServiceHandle(service);
  CloseServiceHandle(manager);
  return code;
}
