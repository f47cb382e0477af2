// The settings file "config.ini" beside the driver program: keys in sections, read one at a time, written a
// save at a time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velno {

// One key of a save and the text it is given.
struct SettingWrite {
  std::wstring section;
  std::wstring key;
  std::wstring value;
};

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;

  // A key's value read as a number, as the profile calls read one; defaultValue when the key is missing.
  virtual std::int32_t ReadNumber(const std::wstring& section, const std::wstring& key, std::int32_t defaultValue) = 0;
  // A key's text; defaultValue when the key is missing.
  virtual std::wstring ReadText(const std::wstring& section, const std::wstring& key,
                                const std::wstring& defaultValue) = 0;
  // One save: every key written, in order. Keys it does not name stay as they are.
  virtual void Save(const std::vector<SettingWrite>& writes) = 0;
};

}  // namespace velno
