#include "actions/key_combination.h"

#include <cwctype>
#include <vector>

#include "actions/written_words.h"

namespace velno {
namespace {

struct KeyName {
  const wchar_t* name;  // the first is the one written back
  std::uint16_t vk;
};

constexpr KeyName kModifierNames[] = {
    {L"Ctrl", kVkControl}, {L"Control", kVkControl}, {L"Shift", kVkShift},
    {L"Alt", kVkAlt},      {L"Win", kVkLeftWin},     {L"Windows", kVkLeftWin},
};

// Names of keys other than letters, digits and F1..F24.
constexpr KeyName kKeyNames[] = {
    {L"Esc", 0x1B},         {L"Escape", 0x1B},      {L"Enter", 0x0D},      {L"Return", 0x0D},
    {L"Tab", 0x09},         {L"Space", 0x20},       {L"Backspace", 0x08},  {L"Delete", 0x2E},
    {L"Del", 0x2E},         {L"Insert", 0x2D},      {L"Ins", 0x2D},        {L"Home", 0x24},
    {L"End", 0x23},         {L"Page Up", 0x21},     {L"PageUp", 0x21},     {L"PgUp", 0x21},
    {L"Page Down", 0x22},   {L"PageDown", 0x22},    {L"PgDn", 0x22},       {L"Left", 0x25},
    {L"Up", 0x26},          {L"Right", 0x27},       {L"Down", 0x28},       {L"Print Screen", 0x2C},
    {L"PrintScreen", 0x2C},
};

constexpr std::uint16_t kVkF1 = 0x70;
constexpr int kFunctionKeys = 24;

template <std::size_t N>
std::optional<std::uint16_t> Lookup(const KeyName (&names)[N], std::wstring_view word) {
  for (const KeyName& k : names) {
    if (SameLetters(word, k.name)) return k.vk;
  }
  return std::nullopt;
}

template <std::size_t N>
const wchar_t* NameOf(const KeyName (&names)[N], std::uint16_t vk) {
  for (const KeyName& k : names) {
    if (k.vk == vk) return k.name;
  }
  return nullptr;
}

std::optional<std::uint16_t> KeyOf(std::wstring_view word) {
  if (word.size() == 1) {
    const auto c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(word[0])));
    if ((c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9')) return static_cast<std::uint16_t>(c);
    return std::nullopt;
  }
  if ((word[0] == L'F' || word[0] == L'f') && word.size() <= 3) {
    int n = 0;
    for (wchar_t c : word.substr(1)) {
      if (c < L'0' || c > L'9') return Lookup(kKeyNames, word);
      n = n * 10 + (c - L'0');
    }
    if (n >= 1 && n <= kFunctionKeys && word[1] != L'0') return static_cast<std::uint16_t>(kVkF1 + n - 1);
    return std::nullopt;
  }
  return Lookup(kKeyNames, word);
}

}  // namespace

std::optional<KeyCombination> ParseKeyCombination(std::wstring_view text) {
  std::vector<std::wstring_view> words;
  for (std::size_t start = 0;;) {
    const std::size_t plus = text.find(L'+', start);
    words.push_back(Trimmed(text.substr(start, plus == std::wstring_view::npos ? std::wstring_view::npos : plus - start)));
    if (plus == std::wstring_view::npos) break;
    start = plus + 1;
  }
  KeyCombination keys;
  for (std::size_t i = 0; i + 1 < words.size(); ++i) {
    const auto modifier = Lookup(kModifierNames, words[i]);
    if (!modifier || keys.modifierCount == kMaxModifiers) return std::nullopt;
    for (int m = 0; m < keys.modifierCount; ++m) {
      if (keys.modifiers[m] == *modifier) return std::nullopt;  // "Ctrl+Ctrl+Z"
    }
    keys.modifiers[keys.modifierCount++] = *modifier;
  }
  if (words.back().empty()) return std::nullopt;
  const auto key = KeyOf(words.back());
  if (!key) return std::nullopt;
  keys.key = *key;
  return keys;
}

std::wstring FormatKeyCombination(const KeyCombination& keys) {
  std::wstring text;
  for (int m = 0; m < keys.modifierCount; ++m) text += std::wstring(NameOf(kModifierNames, keys.modifiers[m])) + L"+";
  if (keys.key >= kVkF1 && keys.key < kVkF1 + kFunctionKeys) {
    text += L"F" + std::to_wstring(keys.key - kVkF1 + 1);
  } else if (const wchar_t* name = NameOf(kKeyNames, keys.key)) {
    text += name;
  } else {
    text += static_cast<wchar_t>(keys.key);
  }
  return text;
}

KeyRecords RecordsOf(const KeyCombination& keys) {
  KeyRecords out;
  for (int m = 0; m < keys.modifierCount; ++m) out.records[out.count++] = KeyPress(keys.modifiers[m]);
  out.records[out.count++] = KeyPress(keys.key);
  out.records[out.count++] = KeyRelease(keys.key);
  for (int m = keys.modifierCount - 1; m >= 0; --m) out.records[out.count++] = KeyRelease(keys.modifiers[m]);
  return out;
}

KeyRecords ReleasesAfter(const InputRecord* records, std::uint32_t sent) {
  KeyRecords out;
  for (std::uint32_t i = sent; i-- > 0;) {
    const InputRecord& r = records[i];
    if (r.type != kInputKeyboard || r.flags == kKeyUp) continue;
    bool released = false;
    for (std::uint32_t j = i + 1; j < sent; ++j) {
      released = released || (records[j].type == kInputKeyboard && records[j].key == r.key && records[j].flags == kKeyUp);
    }
    if (!released && out.count < kMaxInputRecords) out.records[out.count++] = KeyRelease(r.key);
  }
  return out;
}

std::uint32_t SendReleasingOnFailure(KeyOutput& keys, const InputRecord* records, std::uint32_t count) {
  const std::uint32_t sent = keys.SendInput(records, count);
  if (sent < count) {
    const KeyRecords releases = ReleasesAfter(records, sent);
    if (releases.count != 0) keys.SendInput(releases.records.data(), releases.count);
  }
  return sent;
}

std::uint32_t SendKeyCombination(KeyOutput& keys, const KeyCombination& combination) {
  const KeyRecords records = RecordsOf(combination);
  return SendReleasingOnFailure(keys, records.records.data(), records.count);
}

}  // namespace velno
