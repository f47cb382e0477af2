#include "error_text_win32.h"

#include <windows.h>

namespace velno {

std::wstring ErrorText(std::uint32_t error) {
  wchar_t* text = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring words = length != 0 ? std::wstring(text, length) : L"Windows error " + std::to_wstring(error) + L".";
  LocalFree(text);
  // The system's text ends with a line break.
  while (!words.empty() && (words.back() == L'\n' || words.back() == L'\r' || words.back() == L' ')) words.pop_back();
  return words;
}

}  // namespace velno
