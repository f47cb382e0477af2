#include "event_log_win32.h"

#include <windows.h>

#include <vector>

#include "driver_platform_win32.h"

namespace velno {
namespace {

constexpr const wchar_t* kSourceName = L"VelnoDriver";
constexpr const wchar_t* kSourceKey = L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\VelnoDriver";

WORD EventType(LogEvent event) {
  switch (SeverityOf(event)) {
    case LogSeverity::Error:
      return EVENTLOG_ERROR_TYPE;
    case LogSeverity::Warning:
      return EVENTLOG_WARNING_TYPE;
    case LogSeverity::Information:
      break;
  }
  return EVENTLOG_INFORMATION_TYPE;
}

}  // namespace

std::uint32_t AddEventSource(const std::wstring& programPath) {
  HKEY key = nullptr;
  LSTATUS status =
      RegCreateKeyExW(HKEY_LOCAL_MACHINE, kSourceKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
  if (status != ERROR_SUCCESS) return static_cast<std::uint32_t>(status);
  const DWORD types = EVENTLOG_ERROR_TYPE | EVENTLOG_WARNING_TYPE | EVENTLOG_INFORMATION_TYPE;
  status = RegSetValueExW(key, L"EventMessageFile", 0, REG_EXPAND_SZ,
                          reinterpret_cast<const BYTE*>(programPath.c_str()),
                          static_cast<DWORD>((programPath.size() + 1) * sizeof(wchar_t)));
  if (status == ERROR_SUCCESS) {
    status = RegSetValueExW(key, L"TypesSupported", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&types), sizeof(types));
  }
  RegCloseKey(key);
  return static_cast<std::uint32_t>(status);
}

std::uint32_t RemoveEventSource() {
  const LSTATUS status = RegDeleteKeyW(HKEY_LOCAL_MACHINE, kSourceKey);
  return status == ERROR_FILE_NOT_FOUND ? 0 : static_cast<std::uint32_t>(status);
}

void ReportToEventLog(LogEvent event, const std::vector<std::wstring>& words) {
  HANDLE log = RegisterEventSourceW(nullptr, kSourceName);
  if (log == nullptr) return;
  std::vector<const wchar_t*> strings;
  for (const std::wstring& word : words) strings.push_back(word.c_str());
  ReportEventW(log, EventType(event), 0, static_cast<DWORD>(event), nullptr, static_cast<WORD>(strings.size()), 0,
               strings.data(), nullptr);
  DeregisterEventSource(log);
}

void Win32EventLog::WriteEventLog(LogEvent event, const std::vector<std::wstring>& words) {
  ReportToEventLog(event, words);
}

}  // namespace velno
