#include "settings/teacher_settings.h"

#include <cwctype>

namespace velno {
namespace {

constexpr const wchar_t* kGesturesKey = L"Gestures";
constexpr const wchar_t* kPressAndHoldKey = L"PressAndHold";
constexpr const wchar_t* kHoldSecondsKey = L"PressAndHoldSeconds";
constexpr const wchar_t* kShowIconKey = L"ShowIcon";

bool SameLetters(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::towlower(static_cast<wint_t>(a[i])) != static_cast<wint_t>(b[i])) return false;
  }
  return true;
}

std::wstring_view Trimmed(std::wstring_view text) {
  const auto first = text.find_first_not_of(L" \t");
  if (first == std::wstring_view::npos) return {};
  return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

std::wstring OnOff(bool on) { return on ? L"on" : L"off"; }

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Reads one key of the section; nullopt when it is missing or empty.
std::optional<std::wstring> ReadKey(SettingsStore& store, const wchar_t* key) {
  std::wstring text = store.ReadText(kTeacherSection, key, L"");
  if (Trimmed(text).empty()) return std::nullopt;
  return text;
}

template <typename Value, typename Parse, typename Format>
void ReadValue(SettingsStore& store, const wchar_t* key, Parse parse, Format format, Value& value,
               std::vector<RefusedValue>& refused) {
  const std::optional<std::wstring> text = ReadKey(store, key);
  if (!text) return;
  if (const auto parsed = parse(*text)) {
    value = *parsed;
  } else {
    refused.push_back({key, *text, format(value)});
  }
}

}  // namespace

std::optional<bool> ParseOnOff(std::wstring_view text) {
  const std::wstring_view word = Trimmed(text);
  for (const wchar_t* on : {L"on", L"yes", L"true", L"1"}) {
    if (SameLetters(word, on)) return true;
  }
  for (const wchar_t* off : {L"off", L"no", L"false", L"0"}) {
    if (SameLetters(word, off)) return false;
  }
  return std::nullopt;
}

std::optional<std::int32_t> ParseHoldSeconds(std::wstring_view text) {
  const std::wstring_view number = Trimmed(text);
  std::size_t i = 0;
  std::int32_t milliseconds = 0;
  for (; i < number.size() && IsDigit(number[i]); ++i) {
    if (i == 2) return std::nullopt;  // more than two digits of whole seconds
    milliseconds = milliseconds * 10 + (number[i] - L'0') * 1000;
  }
  if (i == 0) return std::nullopt;
  if (i < number.size()) {
    if (number[i] != L'.' && number[i] != L',') return std::nullopt;
    // Thousandths at most; further digits must be zeros ("2.500").
    std::int32_t scale = 100;
    for (++i; i < number.size(); ++i, scale /= 10) {
      if (!IsDigit(number[i]) || (scale == 0 && number[i] != L'0')) return std::nullopt;
      milliseconds += (number[i] - L'0') * scale;
    }
  }
  if (milliseconds < kHoldMinMs || milliseconds > kHoldMaxMs || milliseconds % kHoldStepMs != 0) return std::nullopt;
  return milliseconds;
}

std::wstring FormatHoldSeconds(std::int32_t milliseconds) {
  std::wstring text = std::to_wstring(milliseconds / 1000);
  if (milliseconds % 1000 != 0) text += L"." + std::to_wstring(milliseconds % 1000 / 100);
  return text;
}

TeacherSettingsRead ReadTeacherSettings(SettingsStore& store) {
  const LoadScope load(store);
  TeacherSettingsRead read;
  TeacherSettings& s = read.settings;
  ReadValue(store, kGesturesKey, ParseOnOff, OnOff, s.gestures, read.refused);
  ReadValue(store, kPressAndHoldKey, ParseOnOff, OnOff, s.pressAndHold, read.refused);
  ReadValue(store, kHoldSecondsKey, ParseHoldSeconds, FormatHoldSeconds, s.holdMs, read.refused);
  ReadValue(store, kShowIconKey, ParseOnOff, OnOff, s.showIcon, read.refused);
  s.gestureBrush = ReadGestureBrush(store);
  s.gestureErase = ReadGestureErase(store);
  return read;
}

std::vector<SettingWrite> TeacherSettingsWrites(const TeacherSettings& settings) {
  return {
      {kTeacherSection, kGesturesKey, OnOff(settings.gestures)},
      {kTeacherSection, kPressAndHoldKey, OnOff(settings.pressAndHold)},
      {kTeacherSection, kHoldSecondsKey, FormatHoldSeconds(settings.holdMs)},
      {kTeacherSection, kShowIconKey, OnOff(settings.showIcon)},
      {kSettingsSection, L"GestureBrush", std::to_wstring(settings.gestureBrush)},
      {kSettingsSection, L"GestureErase", std::to_wstring(settings.gestureErase)},
  };
}

}  // namespace velno
