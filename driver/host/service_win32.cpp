#include "service_win32.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <cstdlib>
#include <string>

#include "command_line.h"
#include "error_text_win32.h"
#include "kernel_object_names.h"
#include "event_log_win32.h"
#include "service_control.h"
#include "session_launcher_win32.h"

namespace velno {
namespace {

constexpr const wchar_t* kDriverCommandLine = L" /service";
// The stop event's access list, protected from inheritance: SYSTEM and Administrators have every right
// (0x1F0003, EVENT_ALL_ACCESS); everyone else may only wait on it (SYNCHRONIZE), so no user can stop
// the pen for everybody or change who may.
constexpr const wchar_t* kStopEventAccess = L"D:P(A;;0x1f0003;;;SY)(A;;0x1f0003;;;BA)(A;;0x100000;;;WD)";

// Process-wide: the dispatcher thread's control handler and the service-main thread share them.
SERVICE_STATUS_HANDLE statusHandle = nullptr;
HANDLE serviceEvent = nullptr;

HANDLE ToHandle(ProcessHandle process) { return reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(process)); }

// At the process's normal exit, whatever ended it: the driver in the user's session must not outlive
// its service.
void SignalStopAtExit() {
  if (serviceEvent != nullptr) SetEvent(serviceEvent);
}

class Win32ServicePlatform : public ServicePlatform {
 public:
  void ReportStatus(ServiceState state, std::uint32_t waitHintMs) override {
    SERVICE_STATUS status{};
    status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    status.dwCurrentState = static_cast<DWORD>(state);
    status.dwControlsAccepted = SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN;
    status.dwWin32ExitCode = NO_ERROR;
    status.dwServiceSpecificExitCode = 0;
    // A pending state counts its reports, so the manager sees the stop make progress.
    status.dwCheckPoint = state == ServiceState::StopPending ? ++pendingReports_ : 0;
    status.dwWaitHint = waitHintMs;
    SetServiceStatus(statusHandle, &status);
  }

  bool CreateStopEvent() override {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kStopEventAccess, SDDL_REVISION_1, &descriptor,
                                                              nullptr)) {
      return false;
    }
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), descriptor, FALSE};
    serviceEvent = CreateEventW(&attributes, TRUE, FALSE, kServiceStopEventName);
    // An event that already existed (held open by an earlier run's driver) keeps the access list it was
    // made with: it gets this one too.
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL access = nullptr;
    const bool secured = serviceEvent != nullptr &&
                         GetSecurityDescriptorDacl(descriptor, &present, &access, &defaulted) &&
                         SetSecurityInfo(serviceEvent, SE_KERNEL_OBJECT,
                                         DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr,
                                         nullptr, access, nullptr) == ERROR_SUCCESS;
    LocalFree(descriptor);
    if (!secured) {
      CloseStopEvent();
      return false;
    }
    // The event may outlive an earlier run of the service, still set, held open by that run's driver.
    ResetEvent(serviceEvent);
    return true;
  }

  void SetStopEvent() override {
    if (serviceEvent != nullptr) SetEvent(serviceEvent);
  }

  void CloseStopEvent() override {
    HANDLE event = serviceEvent;
    serviceEvent = nullptr;
    if (event != nullptr) CloseHandle(event);
  }

  void SetStopEventAtExit() override { std::atexit(SignalStopAtExit); }

  ProcessHandle LaunchDriver() override {
    wchar_t ownPath[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, ownPath, MAX_PATH);
    const SessionLaunch launch = LaunchInUserSession(ownPath, kDriverCommandLine);
    const std::wstring session = std::to_wstring(launch.session);
    if (launch.process != nullptr) {
      ReportToEventLog(LogEvent::DriverLaunched, {launch.user, session});
      lastLaunchError_ = 0;
    } else if (!launch.user.empty() && launch.error != lastLaunchError_) {
      // Tried again every few seconds: the same failure is logged once.
      ReportToEventLog(LogEvent::DriverLaunchFailed, {session, ErrorText(launch.error)});
      lastLaunchError_ = launch.error;
    }
    return static_cast<ProcessHandle>(reinterpret_cast<std::uintptr_t>(launch.process));
  }

  ServiceWake WaitForStopOrDriverEnd(ProcessHandle driver, std::uint32_t timeoutMs) override {
    const HANDLE handles[] = {serviceEvent, ToHandle(driver)};
    const DWORD count = driver != ProcessHandle::None ? 2 : 1;
    switch (WaitForMultipleObjects(count, handles, FALSE, timeoutMs)) {
      case WAIT_OBJECT_0:
        return ServiceWake::Stop;
      case WAIT_OBJECT_0 + 1:
        return ServiceWake::DriverEnded;
      case WAIT_TIMEOUT:
        return ServiceWake::TimedOut;
      default:
        ::Sleep(kLaunchRetryMs);  // a wait that fails must not turn the service into a busy loop
        return ServiceWake::TimedOut;
    }
  }

  bool WaitForDriverEnd(ProcessHandle driver, std::uint32_t timeoutMs) override {
    return WaitForSingleObject(ToHandle(driver), timeoutMs) == WAIT_OBJECT_0;
  }

  void CloseProcess(ProcessHandle driver) override { CloseHandle(ToHandle(driver)); }

  std::uint64_t NowMs() override { return GetTickCount64(); }
  void Sleep(std::uint32_t milliseconds) override { ::Sleep(milliseconds); }

  void WriteEventLog(LogEvent event) override { ReportToEventLog(event, {}); }

  std::uint32_t ConsoleSession() override { return WTSGetActiveConsoleSessionId(); }

  // The driver of a session that left the console cannot see a stop meant for it alone: it is ended.
  void EndDriver(ProcessHandle driver) override { TerminateProcess(ToHandle(driver), 0); }

 private:
  DWORD pendingReports_ = 0;
  DWORD lastLaunchError_ = 0;
};

Win32ServicePlatform servicePlatform;
ServiceHost serviceHost{servicePlatform};

void WINAPI ServiceControlHandler(DWORD control) { HandleServiceControl(serviceHost, control); }

void WINAPI ServiceMain(DWORD, LPWSTR*) {
  statusHandle = RegisterServiceCtrlHandlerW(kServiceName, ServiceControlHandler);
  if (statusHandle == nullptr) return;
  RunService(serviceHost);
}

}  // namespace

namespace {

// After a failure the service manager starts the service again after 5 s, three times; a day without a
// failure starts the count afresh.
constexpr DWORD kRestartDelayMs = 5000;
constexpr DWORD kFailureCountResetS = 24 * 60 * 60;

bool SetRestartOnFailure(SC_HANDLE service) {
  SC_ACTION restarts[] = {{SC_ACTION_RESTART, kRestartDelayMs}, {SC_ACTION_RESTART, kRestartDelayMs},
                          {SC_ACTION_RESTART, kRestartDelayMs}};
  SERVICE_FAILURE_ACTIONSW actions{};
  actions.dwResetPeriod = kFailureCountResetS;
  actions.cActions = 3;
  actions.lpsaActions = restarts;
  return ChangeServiceConfig2W(service, SERVICE_CONFIG_FAILURE_ACTIONS, &actions);
}

std::wstring OwnProgramPath() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return path;
}

// The service manager or the registry said no: what was not done, the system's reason, and for a refused
// access what to do about it.
CommandOutcome Refused(const std::wstring& what, DWORD error) {
  const wchar_t* advice = error == ERROR_ACCESS_DENIED ? L" Run it again as an administrator." : L"";
  return {1, what + L": " + ErrorText(error) + advice};
}

}  // namespace

CommandOutcome InstallService(const wchar_t* commandLine) {
  const std::wstring binaryPath = ServiceBinaryPath(commandLine);
  if (!IsFullProgramPath(binaryPath)) {
    return {2, L"The service VelnoDriver was not installed: start VelnoDriver.exe /c by its full path, for example "
               L"\"C:\\Program Files\\Velno\\VelnoDriver.exe\" /c."};
  }
  SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE);
  if (manager == nullptr) return Refused(L"The service VelnoDriver could not be installed", GetLastError());
  SC_HANDLE service = CreateServiceW(manager, kServiceName, kServiceName,
                                     STANDARD_RIGHTS_ALL | SERVICE_CHANGE_CONFIG | SERVICE_START,
                                     SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START, SERVICE_ERROR_NORMAL,
                                     binaryPath.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr);
  const DWORD createError = GetLastError();
  CommandOutcome outcome;
  if (service == nullptr) {
    outcome = Refused(L"The service VelnoDriver could not be installed", createError);
  } else if (!SetRestartOnFailure(service)) {
    outcome = Refused(L"The service VelnoDriver was installed, but not set to restart after a failure",
                      GetLastError());
  } else if (const std::uint32_t error = AddEventSource(OwnProgramPath()); error != 0) {
    outcome = Refused(L"The service VelnoDriver was installed, but its events cannot be written to the event log",
                      error);
  } else {
    outcome = {0, L"The service VelnoDriver is installed. It starts with Windows; to start it now, run: "
                  L"net start VelnoDriver"};
  }
  if (service != nullptr) CloseServiceHandle(service);
  CloseServiceHandle(manager);
  return outcome;
}

CommandOutcome RemoveService() {
  SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, STANDARD_RIGHTS_REQUIRED);
  if (manager == nullptr) return Refused(L"The service VelnoDriver could not be removed", GetLastError());
  SC_HANDLE service = OpenServiceW(manager, kServiceName, DELETE);
  const bool deleted = service != nullptr && DeleteService(service);
  const DWORD error = GetLastError();
  if (service != nullptr) CloseServiceHandle(service);
  CloseServiceHandle(manager);
  if (!deleted) return Refused(L"The service VelnoDriver could not be removed", error);
  if (const std::uint32_t sourceError = RemoveEventSource(); sourceError != 0) {
    return Refused(L"The service VelnoDriver was removed, but not its event source", sourceError);
  }
  return {0, L"The service VelnoDriver is removed. A running service ends at its next stop or restart."};
}

void RunServiceDispatcher() {
  SERVICE_TABLE_ENTRYW table[] = {{const_cast<wchar_t*>(kServiceName), ServiceMain}, {nullptr, nullptr}};
  StartServiceCtrlDispatcherW(table);
}

}  // namespace velno
