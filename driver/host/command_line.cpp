#include "command_line.h"

#include <cwctype>

namespace velno {
namespace {

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
