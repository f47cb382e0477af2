#include "command_line.h"

#include <cwctype>

namespace velno {
namespace {

constexpr std::wstring_view kStopSignalSwitch = L" /stopsignal:";

bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::towlower(static_cast<wint_t>(a[i])) != std::towlower(static_cast<wint_t>(b[i]))) return false;
  }
  return true;
}

}  // namespace

ProgramRole RoleFromCommandLine(std::wstring_view commandLine) {
  const std::size_t slash = commandLine.rfind(L'/');
  if (slash == std::wstring_view::npos) return ProgramRole::Service;
  // The whole rest of the line is the switch: a trailing blank makes it match nothing.
  const std::wstring_view word = commandLine.substr(slash + 1);
  if (EqualsIgnoringCase(word, L"c")) return ProgramRole::Install;
  if (EqualsIgnoringCase(word, L"d")) return ProgramRole::Remove;
  if (EqualsIgnoringCase(word, L"service")) return ProgramRole::Driver;
  if (EqualsIgnoringCase(word, L"settings")) return ProgramRole::OpenSettings;
  return ProgramRole::None;
}

std::wstring DriverCommandLine(std::uintptr_t stopSignal) {
  static constexpr wchar_t kDigits[] = L"0123456789abcdef";
  std::wstring hex;
  do {
    hex.insert(hex.begin(), kDigits[stopSignal & 0xF]);
    stopSignal >>= 4;
  } while (stopSignal != 0);
  return std::wstring(kStopSignalSwitch) + hex + L" /service";
}

std::optional<std::uintptr_t> StopSignalFromCommandLine(std::wstring_view commandLine) {
  const std::size_t at = commandLine.find(kStopSignalSwitch);
  if (at == std::wstring_view::npos) return std::nullopt;
  std::uintptr_t handle = 0;
  std::size_t digits = 0;
  for (std::size_t i = at + kStopSignalSwitch.size(); i < commandLine.size() && commandLine[i] != L' '; ++i, ++digits) {
    const wchar_t c = commandLine[i];
    const int value = c >= L'0' && c <= L'9' ? c - L'0' : c >= L'a' && c <= L'f' ? c - L'a' + 10 : -1;
    if (value < 0 || digits == 2 * sizeof(handle)) return std::nullopt;
    handle = handle * 16 + static_cast<std::uintptr_t>(value);
  }
  if (digits == 0) return std::nullopt;
  return handle;
}

std::wstring ServiceBinaryPath(std::wstring_view commandLine) {
  const std::wstring_view path = commandLine.substr(0, commandLine.rfind(L'/'));
  if (path.starts_with(L'"')) return std::wstring(path);
  const std::wstring_view trimmed = path.substr(0, path.find_last_not_of(L' ') + 1);
  if (trimmed.find(L' ') == std::wstring_view::npos) return std::wstring(path);
  return L"\"" + std::wstring(trimmed) + L"\"";
}

bool IsFullProgramPath(std::wstring_view binaryPath) {
  const std::wstring_view path = binaryPath.substr(binaryPath.starts_with(L'"') ? 1 : 0);
  const bool fromDrive = path.size() >= 3 && std::iswalpha(static_cast<wint_t>(path[0])) && path[1] == L':' &&
                         (path[2] == L'\\' || path[2] == L'/');
  return fromDrive || path.starts_with(L"\\\\");
}

}  // namespace velno
