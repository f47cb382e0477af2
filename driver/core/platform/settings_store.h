// The settings file "config.ini" beside the driver program: keys in sections, read one at a time, written a
// save at a time, each save all or nothing.
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
  // One save: every key written, in order. Keys it does not name stay as they are. True once the file holds
  // them all, written and read back; after a crash or power cut at any moment of it, the next load finds
  // either every key of this save or none. Saves of the process's threads run one after the other.
  virtual bool Save(const std::vector<SettingWrite>& writes) = 0;

  // Around the reads of one load: they come from one complete file, chosen once, and no save of the process
  // writes in between. Reads outside a load each find the complete file afresh.
  virtual void BeginLoad() {}
  virtual void EndLoad() {}
};

// The reads of one load, from one file (SettingsStore::BeginLoad). Loads do not nest.
class LoadScope {
 public:
  explicit LoadScope(SettingsStore& store) : store_(store) { store_.BeginLoad(); }
  ~LoadScope() { store_.EndLoad(); }
  LoadScope(const LoadScope&) = delete;
  LoadScope& operator=(const LoadScope&) = delete;

 private:
  SettingsStore& store_;
};

}  // namespace velno
