#include <windows.h>
#include <shellapi.h>

#include <array>

#include "driver_platform_win32.h"

namespace velno {

void Win32PointerOutput::InjectMouse(std::uint32_t flags, std::int32_t x, std::int32_t y) {
  // Past 65535 the coordinates reach a screen beside or below the primary one.
  mouse_event(flags, static_cast<DWORD>(x), static_cast<DWORD>(y), 0, 0);
}

std::uint32_t Win32KeyOutput::SendInput(const InputRecord* records, std::uint32_t count) {
  // On the reader thread: fixed storage, no allocation. The callers send one shortcut entry at most.
  std::array<INPUT, kMaxInputRecords> inputs;
  if (count > inputs.size()) count = static_cast<std::uint32_t>(inputs.size());
  for (std::uint32_t i = 0; i < count; ++i) {
    INPUT& in = inputs[i];
    in = INPUT{};
    in.type = records[i].type;
    if (records[i].type == kInputKeyboard) {
      in.ki.wVk = records[i].key;
      in.ki.dwFlags = records[i].flags;
    } else {
      in.mi.dwFlags = records[i].flags;
    }
  }
  return ::SendInput(count, count != 0 ? inputs.data() : nullptr, sizeof(INPUT));
}

CursorHandle Win32PointerOutput::ShowBusyCursor() {
  HCURSOR busy = LoadCursorW(nullptr, IDC_WAIT);
  return static_cast<CursorHandle>(reinterpret_cast<std::uintptr_t>(SetCursor(busy)));
}

void Win32PointerOutput::RestoreCursor(CursorHandle cursor) {
  SetCursor(reinterpret_cast<HCURSOR>(static_cast<std::uintptr_t>(cursor)));
}

namespace {

StartResult ResultOf(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_NO_ASSOCIATION
             ? StartResult::NotFound
             : StartResult::Failed;
}

}  // namespace

StartResult Win32ProgramStarter::StartProgram(const std::wstring& program, const std::wstring& arguments,
                                              bool hidden) {
  // A bare name is looked for as WinExec looks: the driver's folder, the current one, the system's, PATH.
  const bool quote = program.find(L' ') != std::wstring::npos;
  std::wstring commandLine = quote ? L"\"" + program + L"\"" : program;
  if (!arguments.empty()) commandLine += L" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = hidden ? SW_HIDE : SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return ResultOf(GetLastError());
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return StartResult::Started;
}

StartResult Win32ProgramStarter::Open(const std::wstring& target, const std::wstring& arguments) {
  SHELLEXECUTEINFOW execute{};
  execute.cbSize = sizeof execute;
  // No message box of the shell's own: a failure is told once, by the icon.
  execute.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
  execute.lpVerb = L"open";
  execute.lpFile = target.c_str();
  execute.lpParameters = arguments.empty() ? nullptr : arguments.c_str();
  execute.nShow = SW_SHOWNORMAL;
  if (!ShellExecuteExW(&execute)) return ResultOf(GetLastError());
  return StartResult::Started;
}

}  // namespace velno
