#include "calibration/settings_text.h"

#include <cstdint>
#include <cwctype>
#include <optional>

namespace velno {
namespace {

// The check lines: the section, a word for whoever edits the file by hand, and the value. Together they
// are the start of every file the driver writes.
constexpr std::wstring_view kCheckLead =
    L"[SaveCheck]\r\n"
    L"; VelnoDriver checks the lines below with this value. After editing them by hand, delete these three "
    L"lines.\r\n"
    L"CRC32=";
constexpr std::size_t kCheckDigits = 8;
constexpr std::wstring_view kLineEnd = L"\r\n";
constexpr std::size_t kBodyStart = kCheckLead.size() + kCheckDigits + kLineEnd.size();

std::uint32_t AddByteToCrc(std::uint32_t crc, std::uint8_t byte) {
  crc ^= byte;
  for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  return crc;
}

std::uint32_t AddUnitToCrc(std::uint32_t crc, std::uint32_t unit) {
  return AddByteToCrc(AddByteToCrc(crc, static_cast<std::uint8_t>(unit)), static_cast<std::uint8_t>(unit >> 8));
}

// CRC-32 (the zip and PNG one) of the text as UTF-16LE.
std::uint32_t Crc32OfText(std::wstring_view text) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (const wchar_t c : text) {
    const auto unit = static_cast<std::uint32_t>(c);
    if (unit > 0xFFFF) {  // where wchar_t holds a whole code point: its surrogate pair
      crc = AddUnitToCrc(crc, 0xD800 + ((unit - 0x10000) >> 10));
      crc = AddUnitToCrc(crc, 0xDC00 + ((unit - 0x10000) & 0x3FF));
    } else {
      crc = AddUnitToCrc(crc, unit);
    }
  }
  return ~crc;
}

std::wstring Hex8(std::uint32_t value) {
  static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
  std::wstring text(kCheckDigits, L'0');
  for (std::size_t i = 0; i < kCheckDigits; ++i) text[kCheckDigits - 1 - i] = kDigits[(value >> (4 * i)) & 0xF];
  return text;
}

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

std::wstring_view Trimmed(std::wstring_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool SameName(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::towlower(static_cast<wint_t>(a[i])) != std::towlower(static_cast<wint_t>(b[i]))) return false;
  }
  return true;
}

// A line's section name, as the profile calls read it: between the '[' that opens the trimmed line and
// the last ']' on it.
std::optional<std::wstring_view> SectionName(std::wstring_view line) {
  line = Trimmed(line);
  if (!line.starts_with(L'[')) return std::nullopt;
  const std::size_t close = line.rfind(L']');
  if (close == std::wstring_view::npos) return std::nullopt;
  return line.substr(1, close - 1);
}

// A line's key: what stands before its '=', trimmed.
std::wstring_view KeyName(std::wstring_view line) { return Trimmed(line.substr(0, line.find(L'='))); }

// The lines of a text, each with its line end.
std::vector<std::wstring> SplitLines(const std::wstring& text) {
  std::vector<std::wstring> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find(L'\n', start);
    const std::size_t next = end == std::wstring::npos ? text.size() : end + 1;
    lines.push_back(text.substr(start, next - start));
    start = next;
  }
  return lines;
}

void EndLine(std::vector<std::wstring>& lines, std::size_t index) {
  if (index < lines.size() && !lines[index].ends_with(L'\n')) lines[index] += kLineEnd;
}

void ApplyWrite(std::vector<std::wstring>& lines, const SettingWrite& write) {
  const std::wstring newLine = write.key + L'=' + write.value + std::wstring(kLineEnd);
  std::size_t line = 0;
  while (line < lines.size() && !(SectionName(lines[line]) && SameName(*SectionName(lines[line]), write.section))) {
    ++line;
  }
  if (line == lines.size()) {
    if (!lines.empty()) EndLine(lines, lines.size() - 1);
    lines.push_back(L'[' + write.section + L']' + std::wstring(kLineEnd));
    lines.push_back(newLine);
    return;
  }
  std::size_t lastContent = line;
  for (++line; line < lines.size() && !SectionName(lines[line]); ++line) {
    const std::wstring_view text = lines[line];
    if (Trimmed(text).empty()) continue;
    lastContent = line;
    if (text.find(L'=') != std::wstring_view::npos && SameName(KeyName(text), write.key)) {
      // The key keeps its spelling and what stands before its value.
      const std::size_t valueStart = text.find(L'=') + 1;
      const std::size_t valueEnd = text.find_last_not_of(L"\r\n") + 1;
      lines[line] = std::wstring(text.substr(0, valueStart)) + write.value + std::wstring(text.substr(valueEnd));
      EndLine(lines, line);
      return;
    }
  }
  EndLine(lines, lastContent);
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(lastContent + 1), newLine);
}

}  // namespace

std::wstring MergeSettingWrites(std::wstring text, const std::vector<SettingWrite>& writes) {
  std::vector<std::wstring> lines = SplitLines(text);
  for (const SettingWrite& write : writes) ApplyWrite(lines, write);
  text.clear();
  for (const std::wstring& line : lines) text += line;
  return text;
}

std::wstring SealSettingsText(std::wstring_view body) {
  return std::wstring(kCheckLead) + Hex8(Crc32OfText(body)) + std::wstring(kLineEnd) + std::wstring(body);
}

SettingsFileState JudgeSettingsText(std::wstring_view text) {
  if (!text.starts_with(kCheckLead)) {
    return text.find(L'\0') == std::wstring_view::npos ? SettingsFileState::Unsealed : SettingsFileState::Binary;
  }
  const bool sealed = text.size() >= kBodyStart &&
                      text.substr(kCheckLead.size(), kCheckDigits) == Hex8(Crc32OfText(text.substr(kBodyStart))) &&
                      text.substr(kCheckLead.size() + kCheckDigits, kLineEnd.size()) == kLineEnd;
  return sealed ? SettingsFileState::Sealed : SettingsFileState::Torn;
}

std::wstring_view SettingsBody(std::wstring_view text) {
  return text.starts_with(kCheckLead) && text.size() >= kBodyStart ? text.substr(kBodyStart) : text;
}

}  // namespace velno
