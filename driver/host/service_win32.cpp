#include "service_win32.h"

#include <windows.h>
#include <aclapi.h>

#include <cstdlib>
#include <string>

#include "command_line.h"
#include "service_control.h"
#include "session_launcher_win32.h"

namespace velno {
namespace {

constexpr const wchar_t* kStopEventName = L"Global\\Brelmar_Service";
constexpr const wchar_t* kDriverCommandLine = L" /service";

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
    serviceEvent = CreateEventW(nullptr, TRUE, FALSE, kStopEventName);
    if (serviceEvent == nullptr) return false;
    // A null DACL: every account, the console user's driver included, may open and wait on it.
    SetSecurityInfo(serviceEvent, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr, nullptr);
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
    HANDLE process = LaunchInUserSession(ownPath, kDriverCommandLine);
    return static_cast<ProcessHandle>(reinterpret_cast<std::uintptr_t>(process));
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

 private:
  DWORD pendingReports_ = 0;
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

void InstallService(const wchar_t* commandLine) {
  const std::wstring binaryPath = ServiceBinaryPath(commandLine);
  SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE);
  if (manager == nullptr) return;
  SC_HANDLE service = CreateServiceW(manager, kServiceName, kServiceName, STANDARD_RIGHTS_ALL,
                                     SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START, SERVICE_ERROR_NORMAL,
                                     binaryPath.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr);
  if (service != nullptr) CloseServiceHandle(service);
  CloseServiceHandle(manager);
}

void RemoveService() {
  SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, STANDARD_RIGHTS_REQUIRED);
  if (manager == nullptr) return;
  SC_HANDLE service = OpenServiceW(manager, kServiceName, DELETE);
  if (service != nullptr) {
    DeleteService(service);
    CloseServiceHandle(service);
  }
  CloseServiceHandle(manager);
}

void RunServiceDispatcher() {
  SERVICE_TABLE_ENTRYW table[] = {{const_cast<wchar_t*>(kServiceName), ServiceMain}, {nullptr, nullptr}};
  StartServiceCtrlDispatcherW(table);
}

}  // namespace velno
