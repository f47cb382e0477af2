#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "calibration/settings_copy.h"
#include "driver_platform_win32.h"
#include "error_text_win32.h"
#include "event_log_limits.h"
#include "event_log_win32.h"

namespace velno {
namespace {

std::wstring g_settingsPath;
std::wstring g_copyPath;

// Process-wide, whichever store object a thread uses: saves one after the other (exclusive), loads
// (shared) never while a save writes.
std::shared_mutex g_filesLock;
// The file this thread's load reads (SettingsStore::BeginLoad); empty for the defaults.
thread_local bool t_inLoad = false;
thread_local std::wstring t_loadPath;

// What the event log last heard of the two files, so that each finding is told once, not at every load.
std::mutex g_findingsLock;
std::vector<std::pair<LogEvent, std::vector<std::wstring>>> g_toldFindings;
// While saves keep failing, each failure is told once an hour (under g_filesLock).
EveryGap g_fileNotWritten;
EveryGap g_copyNotWritten;

class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

bool ReadAll(HANDLE file, std::size_t count, std::string& bytes) {
  bytes.resize(count);
  DWORD got = 0;
  return count == 0 || (ReadFile(file, bytes.data(), static_cast<DWORD>(count), &got, nullptr) && got == count);
}

std::wstring Decode(UINT codePage, DWORD flags, std::string_view bytes) {
  const int length = MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(static_cast<std::size_t>(length), L'\0');
  if (length > 0) MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()), text.data(), length);
  return text;
}

std::wstring DecodeUtf16(std::string_view bytes, bool bigEndian) {
  std::wstring text(bytes.size() / 2, L'\0');  // a last odd byte is half a character
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto first = static_cast<unsigned char>(bytes[2 * i]);
    const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
    text[i] = static_cast<wchar_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
  }
  return text;
}

// The text of a settings file as the profile calls read it: by its byte-order mark; without one, UTF-8 when
// it is valid UTF-8 (a text editor's file; plain ASCII reads the same either way), otherwise the ANSI code
// page that installers and the profile calls write.
std::wstring DecodeSettings(std::string_view bytes) {
  if (bytes.starts_with("\xFF\xFE")) return DecodeUtf16(bytes.substr(2), false);
  if (bytes.starts_with("\xFE\xFF")) return DecodeUtf16(bytes.substr(2), true);
  if (bytes.starts_with("\xEF\xBB\xBF")) return Decode(CP_UTF8, 0, bytes.substr(3));
  const std::wstring utf8 = Decode(CP_UTF8, MB_ERR_INVALID_CHARS, bytes);
  return utf8.empty() ? Decode(CP_ACP, 0, bytes) : utf8;
}

// What every save writes: UTF-16LE with its mark, in which the profile calls keep and find every name (a
// new file they would write in the ANSI code page, where the section name's U+4F43 is lost).
std::string EncodeSettings(const std::wstring& text) {
  std::string bytes = "\xFF\xFE";
  bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
  return bytes;
}

SettingsFileLook LookAt(const std::wstring& path) {
  SettingsFileLook look;
  look.path = path;
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) look.readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  const FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  const DWORD openError = GetLastError();
  if (!file.valid()) {
    if (openError != ERROR_FILE_NOT_FOUND && openError != ERROR_PATH_NOT_FOUND) {
      look.state = SettingsFileState::Unreadable;
      look.errorText = ErrorText(openError);
    }
    return look;
  }
  LARGE_INTEGER size{};
  std::string bytes;
  if (!GetFileSizeEx(file.get(), &size)) {
    look.state = SettingsFileState::Unreadable;
  } else if (static_cast<std::uint64_t>(size.QuadPart) > kMaxSettingsFileBytes) {
    look.state = SettingsFileState::TooBig;
  } else if (!ReadAll(file.get(), static_cast<std::size_t>(size.QuadPart), bytes)) {
    look.state = SettingsFileState::Unreadable;
  } else {
    look.text = DecodeSettings(bytes);
    look.state = JudgeSettingsText(look.text);
  }
  if (look.state == SettingsFileState::Unreadable) look.errorText = ErrorText(GetLastError());
  return look;
}

// Opened for writing, its read-only attribute cleared first: a pupil (or a copy from a CD) may have set it,
// and the file's grant lets a standard user clear it. Sets `problem` when it fails.
HANDLE OpenClearingReadOnly(const std::wstring& path, std::wstring& problem) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    const DWORD cleared = attributes & ~FILE_ATTRIBUTE_READONLY;
    if (!SetFileAttributesW(path.c_str(), cleared != 0 ? cleared : FILE_ATTRIBUTE_NORMAL)) {
      problem = L"It is marked read-only, and the mark could not be cleared: " + ErrorText(GetLastError());
      return INVALID_HANDLE_VALUE;
    }
  }
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) problem = ErrorText(GetLastError());
  return file;
}

// A write time past the one the file had: the profile calls reread a file only when its write time has
// changed, and the file system's clock may not have moved since the last save.
void MoveWriteTimeOn(HANDLE file, const FILETIME& before) {
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  const auto ticks = [](const FILETIME& t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
  const ULONGLONG later = std::max(ticks(now), ticks(before) + 1);
  const FILETIME written{static_cast<DWORD>(later), static_cast<DWORD>(later >> 32)};
  SetFileTime(file, nullptr, nullptr, &written);
}

// Writes `bytes` over the file's data in place, through one handle: the file stays the one the installer
// made, with its access list (a standard user may change it, but may create no file in its folder, nor
// delete one). Ends the file after them, flushes it and reads it back. Empty, or why it failed.
std::wstring WriteInPlace(const std::wstring& path, const std::string& bytes) {
  std::wstring problem;
  const FileHandle file(OpenClearingReadOnly(path, problem));
  if (!file.valid()) return problem;
  FILETIME before{};
  GetFileTime(file.get(), nullptr, nullptr, &before);
  LARGE_INTEGER start{};
  DWORD written = 0;
  const bool stored = SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN) &&
                      WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                      written == bytes.size() && SetEndOfFile(file.get());
  if (!stored) return ErrorText(GetLastError());
  MoveWriteTimeOn(file.get(), before);
  if (!FlushFileBuffers(file.get())) return ErrorText(GetLastError());
  std::string readBack;
  if (!SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN) || !ReadAll(file.get(), bytes.size(), readBack)) {
    return ErrorText(GetLastError());
  }
  return readBack == bytes ? L"" : L"What was read back differs from what was written.";
}

// Tells a failed write once an hour while it keeps failing; a write that works starts afresh.
void TellWrite(EveryGap& told, const std::wstring& problem, LogEvent event, const std::wstring& path) {
  if (problem.empty()) {
    told = EveryGap{};
  } else if (DueAfterGap(told, GetTickCount64(), kRepeatWarningGapMs)) {
    ReportToEventLog(event, {path, problem});
  }
}

void TellFindings(const std::vector<std::pair<LogEvent, std::vector<std::wstring>>>& findings) {
  std::lock_guard lock(g_findingsLock);
  if (findings == g_toldFindings) return;
  g_toldFindings = findings;
  for (const auto& [event, words] : findings) ReportToEventLog(event, words);
}

// The file the reads take: config.ini when it is usable, else its copy; empty when neither is.
std::wstring CompleteFile(bool tell) {
  const SettingsFileLook file = LookAt(g_settingsPath);
  const SettingsFileLook copy = LookAt(g_copyPath);
  if (tell) TellFindings(LoadFindings(file, copy));
  switch (ChooseSettingsSource(file, copy)) {
    case SettingsSource::File:
      return g_settingsPath;
    case SettingsSource::Copy:
      return g_copyPath;
    case SettingsSource::None:
      break;
  }
  return L"";
}

template <typename Read>
auto ReadFromCompleteFile(Read read) {
  if (t_inLoad) return read(t_loadPath);
  std::shared_lock lock(g_filesLock);
  return read(CompleteFile(false));
}

}  // namespace

void SetSettingsPath() {
  wchar_t program[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, program, MAX_PATH);
  wchar_t drive[_MAX_DRIVE] = {};
  wchar_t directory[_MAX_DIR] = {};
  _wsplitpath(program, drive, directory, nullptr, nullptr);
  g_settingsPath = std::wstring(drive) + directory + L"config.ini";
  g_copyPath = std::wstring(drive) + directory + kSettingsCopyName;
}

const std::wstring& SettingsPath() { return g_settingsPath; }

void Win32SettingsStore::BeginLoad() {
  g_filesLock.lock_shared();
  t_inLoad = true;
  t_loadPath = CompleteFile(true);
}

void Win32SettingsStore::EndLoad() {
  t_inLoad = false;
  g_filesLock.unlock_shared();
}

std::int32_t Win32SettingsStore::ReadNumber(const std::wstring& section, const std::wstring& key,
                                           std::int32_t defaultValue) {
  return ReadFromCompleteFile([&](const std::wstring& path) {
    if (path.empty()) return defaultValue;
    return static_cast<std::int32_t>(GetPrivateProfileIntW(section.c_str(), key.c_str(), defaultValue, path.c_str()));
  });
}

std::wstring Win32SettingsStore::ReadText(const std::wstring& section, const std::wstring& key,
                                          const std::wstring& defaultValue) {
  return ReadFromCompleteFile([&](const std::wstring& path) {
    if (path.empty()) return defaultValue;
    // The profile call cuts a value that does not fit and then returns one less than the buffer's size:
    // read again into a bigger one.
    for (DWORD size = 256; size <= kMaxSettingsFileBytes; size *= 2) {
      std::wstring text(size, L'\0');
      const DWORD length =
          GetPrivateProfileStringW(section.c_str(), key.c_str(), defaultValue.c_str(), text.data(), size, path.c_str());
      if (length + 1 < size) {
        text.resize(length);
        return text;
      }
    }
    return defaultValue;
  });
}

bool Win32SettingsStore::Save(const std::vector<SettingWrite>& writes) {
  const std::unique_lock lock(g_filesLock);
  const SettingsFileLook file = LookAt(g_settingsPath);
  const SettingsFileLook copy = LookAt(g_copyPath);
  const SettingsSource source = ChooseSettingsSource(file, copy);
  if (source == SettingsSource::None) {
    // A damaged file is written anew; one that cannot be read may hold more than this save, and is not
    // overwritten unseen.
    for (const SettingsFileLook* look : {&file, &copy}) {
      if (look->state == SettingsFileState::Unreadable) {
        TellWrite(g_fileNotWritten, L"Reading " + look->path + L" failed: " + look->errorText,
                  LogEvent::SettingsNotWritten, g_settingsPath);
        return false;
      }
    }
  }
  const std::wstring body(source == SettingsSource::File   ? SettingsBody(file.text)
                          : source == SettingsSource::Copy ? SettingsBody(copy.text)
                                                           : std::wstring_view());
  const std::string bytes = EncodeSettings(SealSettingsText(MergeSettingWrites(body, writes)));
  // The one a load would not take now first: while it is written, the other stays complete.
  std::wstring fileProblem;
  std::wstring copyProblem;
  if (WritesCopyFirst(source)) {
    copyProblem = WriteInPlace(g_copyPath, bytes);
    fileProblem = WriteInPlace(g_settingsPath, bytes);
  } else {
    fileProblem = WriteInPlace(g_settingsPath, bytes);
    copyProblem = WriteInPlace(g_copyPath, bytes);
  }
  TellWrite(g_fileNotWritten, fileProblem, LogEvent::SettingsNotWritten, g_settingsPath);
  TellWrite(g_copyNotWritten, copyProblem, LogEvent::SettingsCopyNotWritten, g_copyPath);
  return fileProblem.empty();
}

}  // namespace velno
