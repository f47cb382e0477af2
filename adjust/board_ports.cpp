#include "board_ports.h"

#include <algorithm>

namespace adjust {
namespace {

wchar_t AsciiLower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

bool StartsWithIgnoringCase(std::wstring_view text, std::wstring_view prefix) {
  return text.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), text.begin(),
                    [](wchar_t a, wchar_t b) { return AsciiLower(a) == AsciiLower(b); });
}

}  // namespace

bool IsBoardPortName(std::wstring_view deviceName) {
  return StartsWithIgnoringCase(deviceName, L"\\Device\\silabser") ||
         StartsWithIgnoringCase(deviceName, L"\\Device\\slabser");
}

int CountBoardPorts(const std::vector<std::wstring>& deviceNames) {
  return static_cast<int>(std::count_if(deviceNames.begin(), deviceNames.end(),
                                        [](const std::wstring& name) { return IsBoardPortName(name); }));
}

}  // namespace adjust
