// The calibration tool as the driver sees it: whether the program that drives a capture run is there (it
// holds the run's named event), and starting the tool from the icon's menu.
#include <windows.h>

#include "driver_platform_win32.h"
#include "kernel_object_names.h"

namespace velno {
namespace {

// The folder of the driver's program, where the package installs the tool under its program names.
std::wstring ProgramFolder() {
  wchar_t program[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, program, MAX_PATH);
  std::wstring folder = program;
  folder.erase(folder.find_last_of(L"\\/") + 1);
  return folder;
}

}  // namespace

bool Win32ToolPresence::RunToolPresent(CaptureRun run) {
  HANDLE event = OpenEventW(SYNCHRONIZE, FALSE, run == CaptureRun::Point ? kPointRunEventName : kButtonRunEventName);
  if (event == nullptr) return false;
  CloseHandle(event);
  return true;
}

Win32ToolStarter::~Win32ToolStarter() {
  if (started_ != nullptr) CloseHandle(started_);
}

bool Win32ToolStarter::StartTool(const std::wstring& programName, const std::wstring& arguments) {
  const std::wstring folder = ProgramFolder();
  const std::wstring program = folder + programName;
  std::wstring commandLine = L"\"" + program + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                      &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  if (started_ != nullptr) CloseHandle(started_);
  started_ = process.hProcess;
  return true;
}

bool Win32ToolStarter::StartedToolRunning() {
  return started_ != nullptr && WaitForSingleObject(started_, 0) == WAIT_TIMEOUT;
}

}  // namespace velno
