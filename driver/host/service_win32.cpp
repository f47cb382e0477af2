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

// The access lists, protected from inheritance: SYSTEM and Administrators have every right of an event
// (0x1F0003, EVENT_ALL_ACCESS). The stop signal has no name and nobody else on its list; the named event
// lets everyone else only wait on it (SYNCHRONIZE), so no user can stop the pen for everybody or change
// who may.
constexpr const wchar_t* kStopSignalAccess = L"D:P(A;;0x1f0003;;;SY)(A;;0x1f0003;;;BA)";
constexpr const wchar_t* kStopEventAccess = L"D:P(A;;0x1f0003;;;SY)(A;;0x1f0003;;;BA)(A;;0x100000;;;WD)";

// Process-wide: the dispatcher thread's control handler and the service-main thread share them.
SERVICE_STATUS_HANDLE statusHandle = nullptr;
HANDLE stopSignal = nullptr;
HANDLE namedStopEvent = nullptr;

HANDLE ToHandle(ProcessHandle process) { return reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(process)); }

// At the process's normal exit, whatever ended it: the drivers must not outlive their service.
void SignalStopAtExit() {
  if (stopSignal != nullptr) SetEvent(stopSignal);
  if (namedStopEvent != nullptr) SetEvent(namedStopEvent);
}

// An event made with one of the access lists above; null, with the error, when that fails.
HANDLE CreateGuardedEvent(const wchar_t* access, const wchar_t* name, DWORD& error) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(access, SDDL_REVISION_1, &descriptor, nullptr)) {
    error = GetLastError();
    return nullptr;
  }
  SECURITY_ATTRIBUTES attributes{sizeof(attributes), descriptor, FALSE};
  HANDLE event = CreateEventW(&attributes, TRUE, FALSE, name);
  error = GetLastError();  // ERROR_ALREADY_EXISTS when the name was taken
  LocalFree(descriptor);
  return event;
}

// Whether an object's owner is SYSTEM or the Administrators: an object only they can have made, which
// nobody else holds a handle able to set.
bool OwnedBySystemOrAdministrators(HANDLE object, std::wstring& owner) {
  PSID sid = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetSecurityInfo(object, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, &sid, nullptr, nullptr, nullptr,
                      &descriptor) != ERROR_SUCCESS) {
    return false;
  }
  const bool trusted = sid != nullptr && (IsWellKnownSid(sid, WinLocalSystemSid) ||
                                          IsWellKnownSid(sid, WinBuiltinAdministratorsSid));
  wchar_t* text = nullptr;
  if (sid != nullptr && ConvertSidToStringSidW(sid, &text)) owner = text;
  LocalFree(text);
  LocalFree(descriptor);
  return trusted;
}

// One job for the drivers this service process launches: when the process ends (a stop, a crash, a kill),
// so does its driver, and a service started again never meets one. Programs the driver starts (the
// presentation program's automation) leave the job.
HANDLE CreateDriverJob() {
  HANDLE job = CreateJobObjectW(nullptr, nullptr);
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_SILENT_BREAKAWAY_OK;
  if (job != nullptr && !SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof(limits))) {
    CloseHandle(job);
    job = nullptr;
  }
  return job;
}

class Win32ServicePlatform : public ServicePlatform {
 public:
  void ReportStatus(ServiceState state, std::uint32_t waitHintMs, std::uint32_t exitCode) override {
    SERVICE_STATUS status{};
    status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    status.dwCurrentState = static_cast<DWORD>(state);
    status.dwControlsAccepted = SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN;
    status.dwWin32ExitCode = exitCode != 0 ? ERROR_SERVICE_SPECIFIC_ERROR : NO_ERROR;
    status.dwServiceSpecificExitCode = exitCode;
    // A pending state counts its reports, so the manager sees the stop make progress.
    status.dwCheckPoint = state == ServiceState::StopPending ? ++pendingReports_ : 0;
    status.dwWaitHint = waitHintMs;
    SetServiceStatus(statusHandle, &status);
  }

  std::wstring CreateStopSignal() override {
    DWORD error = 0;
    stopSignal = CreateGuardedEvent(kStopSignalAccess, nullptr, error);
    if (stopSignal == nullptr) return ErrorText(error);
    // What the drivers inherit: a handle that may only wait.
    if (!DuplicateHandle(GetCurrentProcess(), stopSignal, GetCurrentProcess(), &driverStopHandle_, SYNCHRONIZE, TRUE,
                         0)) {
      const std::wstring why = ErrorText(GetLastError());
      CloseStopEvent();
      return why;
    }
    driverJob_ = CreateDriverJob();
    return L"";
  }

  std::wstring ClaimStopEventName() override {
    DWORD error = 0;
    HANDLE event = CreateGuardedEvent(kStopEventAccess, kServiceStopEventName, error);
    if (event == nullptr) {
      return error == ERROR_INVALID_HANDLE
                 ? L"another program holds that name with an object that is no event."
                 : L"it could not be made: " + ErrorText(error);
    }
    std::wstring owner;
    if (error == ERROR_ALREADY_EXISTS && !OwnedBySystemOrAdministrators(event, owner)) {
      // Its maker may hold a handle that can set it; the access list it was made with says nothing then.
      CloseHandle(event);
      return L"another account made it before the service started (its owner: " +
             (owner.empty() ? std::wstring(L"unknown") : owner) + L"), and might set it.";
    }
    // An earlier run's, still held open by a driver started by hand, may still be set.
    ResetEvent(event);
    namedStopEvent = event;
    return L"";
  }

  void SetStopEvent() override { SignalStopAtExit(); }

  void CloseStopEvent() override {
    for (HANDLE* event : {&stopSignal, &namedStopEvent, &driverStopHandle_}) {
      if (*event != nullptr) CloseHandle(*event);
      *event = nullptr;
    }
  }

  void SetStopEventAtExit() override { std::atexit(SignalStopAtExit); }

  DriverLaunch LaunchDriver() override {
    wchar_t ownPath[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, ownPath, MAX_PATH);
    const std::wstring commandLine = DriverCommandLine(reinterpret_cast<std::uintptr_t>(driverStopHandle_));
    const SessionLaunch launch = LaunchInUserSession(ownPath, commandLine.c_str(), driverStopHandle_, driverJob_);
    return {static_cast<ProcessHandle>(reinterpret_cast<std::uintptr_t>(launch.process)), launch.session, launch.user,
            launch.error, launch.error != 0 ? ErrorText(launch.error) : L""};
  }

  ServiceWake WaitForStopOrDriverEnd(ProcessHandle driver, std::uint32_t timeoutMs) override {
    const HANDLE handles[] = {stopSignal, ToHandle(driver)};
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

  void WriteEventLog(LogEvent event, const std::vector<std::wstring>& words) override {
    ReportToEventLog(event, words);
  }

  std::uint32_t ConsoleSession() override { return WTSGetActiveConsoleSessionId(); }

  void EndDriver(ProcessHandle driver) override { TerminateProcess(ToHandle(driver), 0); }

 private:
  DWORD pendingReports_ = 0;
  HANDLE driverStopHandle_ = nullptr;
  // Never closed: the end of the process closes it, and ends the driver with it.
  HANDLE driverJob_ = nullptr;
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

// The restarts apply also when the service ends with an exit code of its own, not only after a crash: 0,
// or the error. Windows before Vista (and Wine) know no such setting and answer ERROR_INVALID_LEVEL.
DWORD RestartAfterEveryFailure(SC_HANDLE service) {
  SERVICE_FAILURE_ACTIONS_FLAG everyFailure{TRUE};
  return ChangeServiceConfig2W(service, SERVICE_CONFIG_FAILURE_ACTIONS_FLAG, &everyFailure) ? 0 : GetLastError();
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
  } else if (const DWORD everyFailure = RestartAfterEveryFailure(service);
             everyFailure != 0 && everyFailure != ERROR_INVALID_LEVEL) {
    outcome = Refused(L"The service VelnoDriver was installed, but set to restart after a crash only", everyFailure);
  } else if (const std::uint32_t error = AddEventSource(OwnProgramPath()); error != 0) {
    outcome = Refused(L"The service VelnoDriver was installed, but its events cannot be written to the event log",
                      error);
  } else {
    outcome = {0, std::wstring(L"The service VelnoDriver is installed. It starts with Windows; to start it now, run: "
                               L"net start VelnoDriver") +
                      (everyFailure != 0 ? L" (This Windows restarts it after a crash only.)" : L"")};
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
