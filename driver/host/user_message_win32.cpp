#include "user_message_win32.h"

#include <windows.h>

#include <string>

#include "event_log_win32.h"

namespace velno {
namespace {

bool WriteUtf8(HANDLE output, const std::wstring& line) {
  const int length = static_cast<int>(line.size());
  const int size = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), length, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, line.c_str(), length, bytes.data(), size, nullptr, nullptr);
  DWORD written = 0;
  return WriteFile(output, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

// Whether a message box would be seen: a visible window station (the interactive one) outside session 0,
// where services and what they start run without a desktop anybody sees.
bool OnADesktopSomeoneSees() {
  DWORD session = 0;
  if (!ProcessIdToSessionId(GetCurrentProcessId(), &session) || session == 0) return false;
  USEROBJECTFLAGS flags{};
  DWORD needed = 0;
  return GetUserObjectInformationW(GetProcessWindowStation(), UOI_FLAGS, &flags, sizeof(flags), &needed) &&
         (flags.dwFlags & WSF_VISIBLE) != 0;
}

}  // namespace

void ShowUserMessage(const std::wstring& command, const std::wstring& text, bool failed) {
  const std::wstring line = text + L"\r\n";
  const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  if (error != nullptr && error != INVALID_HANDLE_VALUE && GetFileType(error) != FILE_TYPE_CHAR &&
      WriteUtf8(error, line)) {
    return;
  }
  if (AttachConsole(ATTACH_PARENT_PROCESS)) {
    HANDLE console = CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD written = 0;
    const bool shown = console != INVALID_HANDLE_VALUE &&
                       WriteConsoleW(console, line.c_str(), static_cast<DWORD>(line.size()), &written, nullptr);
    if (console != INVALID_HANDLE_VALUE) CloseHandle(console);
    FreeConsole();
    if (shown) return;
  }
  if (!OnADesktopSomeoneSees()) {
    ReportToEventLog(failed ? LogEvent::CommandFailed : LogEvent::CommandDone, {command, text});
    return;
  }
  MessageBoxW(nullptr, text.c_str(), L"VelnoDriver", MB_OK | (failed ? MB_ICONERROR : MB_ICONINFORMATION));
}

}  // namespace velno
