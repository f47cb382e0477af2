#include "calibration/settings_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calibration/settings_copy.h"

namespace velno {
namespace {

TEST(SettingsText, ASaveChangesItsKeysWhereTheProfileCallsFindThemAndKeepsEveryOtherLine) {
  const struct {
    const char* name;
    std::wstring text;
    std::vector<SettingWrite> writes;
    std::wstring merged;
  } cases[] = {
      {"an empty file gets the section", L"", {{L"S", L"A", L"1"}, {L"S", L"B", L"-2"}}, L"[S]\r\nA=1\r\nB=-2\r\n"},
      {"a key of another case keeps its spelling and what stands before its value",
       L"[\x4F43 s]\r\nadjusttype = 9\r\n", {{L"\x4F43 S", L"AdjustType", L"4"}}, L"[\x4F43 s]\r\nadjusttype =4\r\n"},
      {"a new key after the section's last line, before the blank line and the next section",
       L"[A]\r\nx=1\r\n\r\n[B]\r\ny=2", {{L"A", L"z", L"3"}}, L"[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\ny=2"},
      {"another program's section and comments stay; a new section at the end",
       L"; room 12\r\n[Display]\r\nOwner=Caf\u00e9", {{L"S", L"k", L"v"}},
       L"; room 12\r\n[Display]\r\nOwner=Caf\u00e9\r\n[S]\r\nk=v\r\n"},
      {"only the first of two sections of a name, which is the one a load reads",
       L"[S]\r\na=1\r\n[S]\r\nb=2\r\n", {{L"S", L"b", L"3"}}, L"[S]\r\na=1\r\nb=3\r\n[S]\r\nb=2\r\n"},
      {"a line without '=' is no key", L"[S]\r\nk\r\n", {{L"S", L"k", L"1"}}, L"[S]\r\nk\r\nk=1\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(MergeSettingWrites(c.text, c.writes), c.merged) << c.name;
}

TEST(SettingsText, OnlyACompleteSealedFileOrOneWithoutCheckLinesIsUsable) {
  const std::wstring body = L"[Adjust-\x4F43M]\r\nAdjustType=4\r\nPoint01-x=2500\r\n";
  const std::wstring sealed = SealSettingsText(body);
  std::wstring oneDigitChanged = sealed;
  oneDigitChanged[sealed.find(L"2500")] = L'3';
  const struct {
    const char* name;
    std::wstring text;
    SettingsFileState state;
  } cases[] = {
      {"sealed", sealed, SettingsFileState::Sealed},
      {"one digit changed", oneDigitChanged, SettingsFileState::Torn},
      {"cut in the middle of a key", sealed.substr(0, sealed.size() - 8), SettingsFileState::Torn},
      {"cut inside the check value", sealed.substr(0, sealed.find(L"CRC32=") + 9), SettingsFileState::Torn},
      {"a later save's start over an earlier one's end",
       SealSettingsText(L"[Adjust-\x4F43M]\r\nAdjustType=9\r\n") + sealed.substr(sealed.size() - 10),
       SettingsFileState::Torn},
      {"written by hand", body, SettingsFileState::Unsealed},
      {"empty, as the installer makes it", L"", SettingsFileState::Unsealed},
      {"zero-filled", std::wstring(512, L'\0'), SettingsFileState::Binary},
      {"zeros after the header", L"[Adjust-\x4F43M]\r\n" + std::wstring(8, L'\0'), SettingsFileState::Binary},
  };
  for (const auto& c : cases) EXPECT_EQ(JudgeSettingsText(c.text), c.state) << c.name;
  EXPECT_EQ(SettingsBody(sealed), body);
  EXPECT_EQ(SettingsBody(body), body);
}

TEST(SettingsCopy, ALoadTakesTheUsableFileAndTellsWhatItFound) {
  using State = SettingsFileState;
  using Events = std::vector<LogEvent>;
  const struct {
    State file;
    State copy;
    bool fileReadOnly;
    SettingsSource source;
    Events told;
  } cases[] = {
      {State::Missing, State::Missing, false, SettingsSource::None, {}},  // a driver run before any save
      {State::Sealed, State::Torn, false, SettingsSource::File, {}},
      {State::Unsealed, State::Sealed, false, SettingsSource::File, {}},  // copied in by hand: it counts
      {State::Torn, State::Sealed, false, SettingsSource::Copy, {LogEvent::SettingsDamaged}},
      {State::Binary, State::Unsealed, false, SettingsSource::Copy, {LogEvent::SettingsDamaged}},
      {State::Missing, State::Sealed, false, SettingsSource::Copy, {LogEvent::SettingsDamaged}},
      {State::TooBig, State::Binary, false, SettingsSource::None, {LogEvent::SettingsDamaged}},
      {State::Sealed, State::Sealed, true, SettingsSource::File, {LogEvent::SettingsReadOnly}},
  };
  for (const auto& c : cases) {
    const SettingsFileLook file{L"config.ini", c.file, L"", c.fileReadOnly, L""};
    const SettingsFileLook copy{L"config.copy.ini", c.copy, L"", false, L""};
    const std::string name = std::to_string(&c - cases);
    EXPECT_EQ(ChooseSettingsSource(file, copy), c.source) << name;
    Events told;
    for (const auto& [event, words] : LoadFindings(file, copy)) told.push_back(event);
    EXPECT_EQ(told, c.told) << name;
  }
}

}  // namespace
}  // namespace velno
