// An in-memory settings file: names without regard to case, the text of every value as a save wrote it.
// How the real profile calls read bytes and odd numbers is tested under Wine.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/settings_store.h"

namespace velno::testing {

class FakeSettingsStore : public SettingsStore {
 public:
  std::int32_t ReadNumber(const std::wstring& section, const std::wstring& key, std::int32_t defaultValue) override;
  std::wstring ReadText(const std::wstring& section, const std::wstring& key,
                        const std::wstring& defaultValue) override;
  bool Save(const std::vector<SettingWrite>& writes) override;

  // The file's values: lower-case section, then lower-case key.
  std::map<std::wstring, std::map<std::wstring, std::wstring>> values;
  std::vector<std::vector<SettingWrite>> saves;  // every save, its writes in order
  bool savesFail = false;                        // a save then changes nothing and returns false

 private:
  const std::wstring* Find(const std::wstring& section, const std::wstring& key) const;
  std::mutex lock_;
};

}  // namespace velno::testing
