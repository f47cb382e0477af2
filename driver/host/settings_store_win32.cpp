#include <windows.h>

#include <cstdlib>

#include "driver_platform_win32.h"

namespace velno {
namespace {

std::wstring g_settingsPath;

// The profile API writes a new (or empty) file in the ANSI code page, where the section name's U+4F43
// becomes '?' and is never found again. Started with a UTF-16LE byte-order mark, the file stays UTF-16
// and the name round-trips. A file with content keeps its encoding. The file is shared while open, so a
// save running at the same time on the other board's reader is never locked out.
void StartUnicodeFileIfEmpty(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  LARGE_INTEGER size{};
  if (GetFileSizeEx(file, &size) && size.QuadPart == 0) {
    const unsigned char bom[2] = {0xFF, 0xFE};
    DWORD written = 0;
    WriteFile(file, bom, sizeof(bom), &written, nullptr);
  }
  CloseHandle(file);
}

}  // namespace

void SetSettingsPath() {
  wchar_t program[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, program, MAX_PATH);
  wchar_t drive[_MAX_DRIVE] = {};
  wchar_t directory[_MAX_DIR] = {};
  _wsplitpath(program, drive, directory, nullptr, nullptr);
  g_settingsPath = std::wstring(drive) + directory + L"config.ini";
}

const std::wstring& SettingsPath() { return g_settingsPath; }

std::int32_t Win32DriverPlatform::ReadSetting(const std::wstring& section, const std::wstring& key,
                                              std::int32_t defaultValue) {
  return static_cast<std::int32_t>(
      GetPrivateProfileIntW(section.c_str(), key.c_str(), defaultValue, g_settingsPath.c_str()));
}

void Win32DriverPlatform::WriteSetting(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
  StartUnicodeFileIfEmpty(g_settingsPath);
  WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), g_settingsPath.c_str());
}

}  // namespace velno
