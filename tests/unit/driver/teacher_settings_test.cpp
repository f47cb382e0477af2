#include "settings/teacher_settings.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <map>
#include <string>

#include "fake_platform.h"
#include "fake_velno.h"
#include "settings/live_settings.h"

namespace velno {
namespace {

using Keys = std::map<std::wstring, std::wstring>;

void Fill(testing::FakeSettingsStore& store, const Keys& velno, const Keys& calibration = {}) {
  for (const auto& [key, value] : velno) store.values[L"velno"][key] = value;
  for (const auto& [key, value] : calibration) store.values[L"adjust-\x4F43m"][key] = value;
}

// Every value the section may hold, what is read, and what is refused; then the save of what was read.
TEST(TeacherSettings, ValuesAsWordsInTheirRangesElseTheDefaultAndNoted) {
  const TeacherSettings defaults{};
  const struct {
    const char* name;
    Keys velno;
    Keys calibration;
    TeacherSettings read;
    std::vector<RefusedValue> refused;
  } cases[] = {
      {"no file: gestures off, press-and-hold on at 10 s, the icon shown, sizes 2500 and 25000", {}, {}, defaults, {}},
      {"words in any case, a half second, a comma",
       {{L"gestures", L"ON"}, {L"pressandhold", L"off"}, {L"pressandholdseconds", L"2,5"}, {L"showicon", L"No"}},
       {{L"gesturebrush", L"1234"}, {L"gestureerase", L"0"}},
       {true, false, 2500, false, 1234, 25000}, {}},
      {"the ends of the range, written several ways",
       {{L"pressandholdseconds", L" 1.0 "}, {L"gestures", L"1"}}, {}, {true, true, 1000, true, 2500, 25000}, {}},
      {"10.000 is 10", {{L"pressandholdseconds", L"10.000"}}, {}, {false, true, 10000, true, 2500, 25000}, {}},
      {"an empty value is as good as none", {{L"gestures", L""}}, {}, defaults, {}},
      {"text, out of range, off the half-second steps: each its default, each noted",
       {{L"gestures", L"abc"}, {L"pressandhold", L"maybe"}, {L"pressandholdseconds", L"0.5"}, {L"showicon", L"2"}},
       {}, defaults,
       {{L"Gestures", L"abc", L"off"}, {L"PressAndHold", L"maybe", L"on"}, {L"PressAndHoldSeconds", L"0.5", L"10"},
        {L"ShowIcon", L"2", L"on"}}},
      {"more refused seconds", {{L"pressandholdseconds", L"10.5"}}, {}, defaults,
       {{L"PressAndHoldSeconds", L"10.5", L"10"}}},
      {"", {{L"pressandholdseconds", L"2.25"}}, {}, defaults, {{L"PressAndHoldSeconds", L"2.25", L"10"}}},
      {"", {{L"pressandholdseconds", L"-3"}}, {}, defaults, {{L"PressAndHoldSeconds", L"-3", L"10"}}},
      {"", {{L"pressandholdseconds", L"3s"}}, {}, defaults, {{L"PressAndHoldSeconds", L"3s", L"10"}}},
      {"", {{L"pressandholdseconds", L"100"}}, {}, defaults, {{L"PressAndHoldSeconds", L"100", L"10"}}},
  };
  for (const auto& c : cases) {
    testing::FakeSettingsStore store;
    Fill(store, c.velno, c.calibration);
    const TeacherSettingsRead read = ReadTeacherSettings(store);
    EXPECT_EQ(read.settings, c.read) << c.name;
    EXPECT_EQ(read.refused, c.refused) << c.name;

    // The next save writes every key as a word the driver reads back as it is.
    store.Save(TeacherSettingsWrites(read.settings));
    const TeacherSettingsRead again = ReadTeacherSettings(store);
    EXPECT_EQ(again.settings, read.settings) << c.name;
    EXPECT_TRUE(again.refused.empty()) << c.name;
  }
  EXPECT_EQ(FormatHoldSeconds(2500), L"2.5");
  EXPECT_EQ(FormatHoldSeconds(10000), L"10");
}

// At the start the refused values are noted in one event; a change takes effect in the library and the
// hold time at once, and is saved in one save.
TEST(TeacherSettings, StartNotesRefusedValuesOnceAndChangesTakeEffectAtOnce) {
  testing::ResetFakeVelno();
  const SharedState library = testing::FakeSharedState();
  testing::FakeSettingsStore store;
  Fill(store, {{L"gestures", L"abc"}, {L"pressandholdseconds", L"4"}});
  testing::RecordingEventLog log;
  LiveSettings live;
  StartSettings(store, log, library, live);
  ASSERT_EQ(log.events.size(), 1u);
  EXPECT_EQ(log.events[0].first, LogEvent::SettingsRefused);
  EXPECT_EQ(log.events[0].second, std::vector<std::wstring>{L"Gestures=abc (off used)"});
  EXPECT_EQ(live.rightClickAfterMs.load(), 4000);
  EXPECT_FALSE(GesturesEnabled(library));
  EXPECT_EQ(library.GetGestureBrush(), 2500);
  EXPECT_TRUE(store.saves.empty()) << "replaced at the next save, not at the start";

  TeacherSettings changed = CurrentSettings(library, live);
  changed.gestures = true;
  changed.pressAndHold = false;
  changed.gestureErase = 40000;
  ChangeSettings(store, library, live, changed);
  EXPECT_TRUE(GesturesEnabled(library));
  EXPECT_EQ(library.GetGestureErase(), 40000);
  EXPECT_EQ(live.rightClickAfterMs.load(), kHoldOff);
  ASSERT_EQ(store.saves.size(), 1u);
  EXPECT_EQ(store.values[L"velno"][L"gestures"], L"on");
  EXPECT_EQ(store.values[L"velno"][L"pressandholdseconds"], L"4");

  // Another program turns gestures off through the library: the window shows the library's word.
  library.IsUsingGesture(0);
  EXPECT_FALSE(CurrentSettings(library, live).gestures);
}

}  // namespace
}  // namespace velno
