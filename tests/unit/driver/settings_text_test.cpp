#include "calibration/settings_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velno {
namespace {

TEST(SettingsText, ASaveChangesItsKeysWhereTheProfileCallsFindThemAndKeepsEveryOtherLine) {
  const struct {
    const char* name;
    std::wstring text;
    std::vector<SettingWrite> writes;
    std::wstring merged;
  } cases[] = {
      {"a key of another case keeps its spelling and what stands before its value",
       L"[\x4F43 s]\r\nadjusttype = 9\r\n", {{L"\x4F43 S", L"AdjustType", L"4"}}, L"[\x4F43 s]\r\nadjusttype =4\r\n"},
      {"a new key after the section's last line, before the blank line and the next section",
       L"[A]\r\nx=1\r\n\r\n[B]\r\ny=2", {{L"A", L"z", L"3"}}, L"[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\ny=2"},
      {"another program's section and comments stay; a new section at the end",
       L"; room 12\r\n[Display]\r\nOwner=Caf\u00e9", {{L"S", L"k", L"v"}},
       L"; room 12\r\n[Display]\r\nOwner=Caf\u00e9\r\n[S]\r\nk=v\r\n"},
      {"only the first of two sections of a name, which is the one a load reads",
       L"[S]\r\na=1\r\n[S]\r\nb=2\r\n", {{L"S", L"b", L"3"}}, L"[S]\r\na=1\r\nb=3\r\n[S]\r\nb=2\r\n"},
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
      {"a later save's start over an earlier one's end",
       SealSettingsText(L"[Adjust-\x4F43M]\r\nAdjustType=9\r\n") + sealed.substr(sealed.size() - 10),
       SettingsFileState::Torn},
      {"written by hand", body, SettingsFileState::Unsealed},
      {"empty, as the installer makes it", L"", SettingsFileState::Unsealed},
      {"zero-filled", std::wstring(512, L'\0'), SettingsFileState::Binary},
  };
  for (const auto& c : cases) EXPECT_EQ(JudgeSettingsText(c.text), c.state) << c.name;
  EXPECT_EQ(SettingsBody(sealed), body);
  EXPECT_EQ(SettingsBody(body), body);
}

}  // namespace
}  // namespace velno
