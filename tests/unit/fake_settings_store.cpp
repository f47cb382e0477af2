#include "fake_settings_store.h"

#include <cwctype>

namespace velno::testing {
namespace {

std::wstring Lower(const std::wstring& s) {
  std::wstring out = s;
  for (wchar_t& c : out) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
  return out;
}

}  // namespace

const std::wstring* FakeSettingsStore::Find(const std::wstring& section, const std::wstring& key) const {
  auto s = values.find(Lower(section));
  if (s == values.end()) return nullptr;
  auto k = s->second.find(Lower(key));
  return k == s->second.end() ? nullptr : &k->second;
}

std::int32_t FakeSettingsStore::ReadNumber(const std::wstring& section, const std::wstring& key,
                                           std::int32_t defaultValue) {
  std::scoped_lock guard(lock_);
  const std::wstring* value = Find(section, key);
  return value == nullptr ? defaultValue : static_cast<std::int32_t>(std::stol(*value));
}

std::wstring FakeSettingsStore::ReadText(const std::wstring& section, const std::wstring& key,
                                         const std::wstring& defaultValue) {
  std::scoped_lock guard(lock_);
  const std::wstring* value = Find(section, key);
  return value == nullptr ? defaultValue : *value;
}

bool FakeSettingsStore::Save(const std::vector<SettingWrite>& writes) {
  std::scoped_lock guard(lock_);
  saves.push_back(writes);
  if (savesFail) return false;
  for (const SettingWrite& write : writes) values[Lower(write.section)][Lower(write.key)] = write.value;
  return true;
}

}  // namespace velno::testing
