#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <mutex>
#include <string>
#include <string_view>

#include "driver_platform_win32.h"
#include "error_text_win32.h"
#include "event_log_win32.h"

namespace velno {
namespace {

std::wstring g_settingsPath;
// Whether the last write failed: a save writes many keys, and a file that cannot be written is logged
// once, not once a key, until a write works again.
std::atomic<bool> g_writesFailing{false};
// Two boards' readers may save at once: one of them converts the file, the other then finds it converted.
SRWLOCK g_conversionLock = SRWLOCK_INIT;
// A settings file is a few kilobytes; one past this is not converted (nor written).
constexpr LONGLONG kMaxConvertedBytes = 1 << 20;
constexpr char kUtf16LeMark[] = "\xFF\xFE";

// The profile API writes a new (or empty) file in the ANSI code page, where the section name's U+4F43
// becomes '?' and is never found again; it keeps the encoding of a file that has content. A file that
// starts with a byte-order mark (UTF-16LE, UTF-16BE or UTF-8) round-trips every name.
bool StartsWithByteOrderMark(std::string_view head) {
  return head.starts_with("\xFF\xFE") || head.starts_with("\xFE\xFF") || head.starts_with("\xEF\xBB\xBF");
}

bool ReadBytes(HANDLE file, std::size_t count, std::string& bytes) {
  bytes.resize(count);
  DWORD got = 0;
  return count == 0 || (ReadFile(file, bytes.data(), static_cast<DWORD>(count), &got, nullptr) && got == count);
}

bool WriteBytes(HANDLE file, const void* data, std::size_t count) {
  DWORD written = 0;
  return WriteFile(file, data, static_cast<DWORD>(count), &written, nullptr) && written == count;
}

std::wstring Decode(UINT codePage, DWORD flags, std::string_view bytes) {
  const int length = MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(static_cast<std::size_t>(length), L'\0');
  if (length > 0) MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()), text.data(), length);
  return text;
}

// The text of a file without a mark: UTF-8 when it is valid UTF-8 (a text editor's file; plain ASCII
// reads the same either way), otherwise the ANSI code page that installers and the profile API write.
std::wstring DecodeWithoutMark(std::string_view bytes) {
  const std::wstring utf8 = Decode(CP_UTF8, MB_ERR_INVALID_CHARS, bytes);
  return utf8.empty() ? Decode(CP_ACP, 0, bytes) : utf8;
}

// Rewrites the file in place through the handle that read it: the whole content, then the end of the
// file. The file stays the one the installer made, with its access list: a standard user may change it
// but may create no file in its folder, nor may a new file get the old one's rights.
bool RewriteAsUtf16(HANDLE file, const std::wstring& text) {
  LARGE_INTEGER start{};
  return SetFilePointerEx(file, start, nullptr, FILE_BEGIN) && WriteBytes(file, kUtf16LeMark, 2) &&
         WriteBytes(file, text.data(), text.size() * sizeof(wchar_t)) && SetEndOfFile(file) && FlushFileBuffers(file);
}

enum class FileState { Unicode, WithoutMark, Unusable };

// Looks at the file through an open handle: a missing or empty file gets the UTF-16LE mark at once; a
// file without a mark leaves its bytes in `bytes`. A file with NUL bytes is no ANSI or UTF-8 text and
// is unusable, as is one too big to be a settings file.
FileState Inspect(HANDLE file, std::string& bytes) {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size)) return FileState::Unusable;
  if (size.QuadPart == 0) return WriteBytes(file, kUtf16LeMark, 2) ? FileState::Unicode : FileState::Unusable;
  if (!ReadBytes(file, static_cast<std::size_t>(std::min<LONGLONG>(size.QuadPart, 3)), bytes)) return FileState::Unusable;
  if (StartsWithByteOrderMark(bytes)) return FileState::Unicode;
  if (size.QuadPart > kMaxConvertedBytes) return FileState::Unusable;
  std::string rest;
  if (!ReadBytes(file, static_cast<std::size_t>(size.QuadPart) - bytes.size(), rest)) return FileState::Unusable;
  bytes += rest;
  return bytes.find('\0') == std::string::npos ? FileState::WithoutMark : FileState::Unusable;
}

// Makes the settings file one the profile API keeps in Unicode, converting a file without a mark to
// UTF-16LE with every section and key it has. False when it still is not: a write would then store the
// section under a name that is never found again.
bool MakeUnicodeSettingsFile(const std::wstring& path) {
  AcquireSRWLockExclusive(&g_conversionLock);
  // Shared while open, so that a save running at the same time is never locked out.
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  bool unicode = false;
  if (file != INVALID_HANDLE_VALUE) {
    std::string bytes;
    const FileState state = Inspect(file, bytes);
    unicode = state == FileState::Unicode ||
              (state == FileState::WithoutMark && RewriteAsUtf16(file, DecodeWithoutMark(bytes)));
    CloseHandle(file);
  }
  ReleaseSRWLockExclusive(&g_conversionLock);
  return unicode;
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

std::int32_t Win32SettingsStore::ReadNumber(const std::wstring& section, const std::wstring& key,
                                           std::int32_t defaultValue) {
  return static_cast<std::int32_t>(
      GetPrivateProfileIntW(section.c_str(), key.c_str(), defaultValue, g_settingsPath.c_str()));
}

std::wstring Win32SettingsStore::ReadText(const std::wstring& section, const std::wstring& key,
                                          const std::wstring& defaultValue) {
  // The profile call cuts a value that does not fit and then returns one less than the buffer's size:
  // read again into a bigger one. A settings file is at most a megabyte.
  for (DWORD size = 256; size <= kMaxConvertedBytes; size *= 2) {
    std::wstring text(size, L'\0');
    const DWORD length = GetPrivateProfileStringW(section.c_str(), key.c_str(), defaultValue.c_str(), text.data(),
                                                  size, g_settingsPath.c_str());
    if (length + 1 < size) {
      text.resize(length);
      return text;
    }
  }
  return defaultValue;
}

void Win32SettingsStore::Save(const std::vector<SettingWrite>& writes) {
  // One save at a time in the process: the settings window's and a reader's at the end of a calibration.
  static std::mutex saving;
  std::lock_guard lock(saving);
  for (const SettingWrite& write : writes) {
    const bool written =
        MakeUnicodeSettingsFile(g_settingsPath) &&
        WritePrivateProfileStringW(write.section.c_str(), write.key.c_str(), write.value.c_str(), g_settingsPath.c_str());
    const DWORD error = GetLastError();
    if (!written && !g_writesFailing.exchange(true)) {
      ReportToEventLog(LogEvent::SettingsNotWritten, {g_settingsPath, ErrorText(error)});
    }
    if (written) g_writesFailing.store(false);
  }
}

}  // namespace velno
