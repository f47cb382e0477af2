// The settings file and the copy beside it, which make every save all-or-nothing: a save writes the whole
// text into one of them, then into the other, each flushed and read back, so that at every moment at
// least one of them is complete; a load takes the file when it is usable, else the copy.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "calibration/settings_text.h"
#include "platform/log_events.h"

namespace velno {

// The copy's name beside "config.ini".
inline constexpr const wchar_t* kSettingsCopyName = L"config.copy.ini";

// What a look at one of the two files found.
struct SettingsFileLook {
  std::wstring path;
  SettingsFileState state = SettingsFileState::Missing;
  std::wstring text;       // the text of a usable file
  bool readOnly = false;   // its read-only attribute is set
  std::wstring errorText;  // why an unreadable file could not be read
};

enum class SettingsSource { File, Copy, None };

// The file when it is usable (sealed and complete, or without check lines), else the copy when it is, else
// neither: the defaults.
SettingsSource ChooseSettingsSource(const SettingsFileLook& file, const SettingsFileLook& copy);

// A save writes first the one of the two that a load would not take now.
bool WritesCopyFirst(SettingsSource source);

// What a load tells of the two files: a damaged or missing file with what was loaded instead, and each
// read-only mark. Nothing while neither exists (the driver run before any save) or all is well.
std::vector<std::pair<LogEvent, std::vector<std::wstring>>> LoadFindings(const SettingsFileLook& file,
                                                                         const SettingsFileLook& copy);

}  // namespace velno
