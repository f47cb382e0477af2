#include "calibration/settings_copy.h"

namespace velno {
namespace {

bool Usable(SettingsFileState state) {
  return state == SettingsFileState::Sealed || state == SettingsFileState::Unsealed;
}

// What was found, to follow the file's name.
std::wstring FindingWords(const SettingsFileLook& look) {
  switch (look.state) {
    case SettingsFileState::Missing:
      return L"is missing";
    case SettingsFileState::Torn:
      return L"does not match its check value: a save was cut short (by a power cut, say), or it was edited by "
             L"hand";
    case SettingsFileState::Binary:
      return L"holds zeros or other binary data where text should be, as a power cut can leave it";
    case SettingsFileState::TooBig:
      return L"is larger than 1 MB, far more than a settings file can be";
    case SettingsFileState::Unreadable:
      return L"could not be read (" + look.errorText + L")";
    case SettingsFileState::Sealed:
    case SettingsFileState::Unsealed:
      break;
  }
  return L"is complete";
}

}  // namespace

SettingsSource ChooseSettingsSource(const SettingsFileLook& file, const SettingsFileLook& copy) {
  if (Usable(file.state)) return SettingsSource::File;
  return Usable(copy.state) ? SettingsSource::Copy : SettingsSource::None;
}

bool WritesCopyFirst(SettingsSource source) { return source != SettingsSource::Copy; }

std::vector<std::pair<LogEvent, std::vector<std::wstring>>> LoadFindings(const SettingsFileLook& file,
                                                                         const SettingsFileLook& copy) {
  std::vector<std::pair<LogEvent, std::vector<std::wstring>>> findings;
  const bool neitherYet = file.state == SettingsFileState::Missing && copy.state == SettingsFileState::Missing;
  if (!Usable(file.state) && !neitherYet) {
    const std::wstring loaded =
        Usable(copy.state) ? L"The settings were loaded from its copy " + copy.path + L"."
                           : L"Its copy " + copy.path + L" " + FindingWords(copy) +
                                 L" too, so the pen works uncalibrated with the default settings.";
    findings.push_back({LogEvent::SettingsDamaged, {file.path, FindingWords(file), loaded}});
  }
  for (const SettingsFileLook* look : {&file, &copy}) {
    if (look->readOnly) findings.push_back({LogEvent::SettingsReadOnly, {look->path}});
  }
  return findings;
}

}  // namespace velno
