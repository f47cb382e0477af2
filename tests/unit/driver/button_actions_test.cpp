#include "actions/button_actions.h"

#include <gtest/gtest.h>

#include <map>

#include "actions/action_text.h"
#include "actions/action_words.h"
#include "actions/touch_buttons.h"
#include "calibration/settings_file.h"
#include "driver_fixture.h"
#include "settings/live_settings.h"

namespace velno {
namespace {

using testing::CtrlShift;
using testing::kPageUp;
using testing::kWinD;

class ButtonActions : public ::testing::Test {
 protected:
  void SetUp() override { BuildShortcutTable(table); }

  testing::RecordingOutput output;
  testing::RecordingEventLog log;
  ActionRequests requests;
  const std::function<void()> wake;
  const ActionOutputs outputs{output, output, log, requests, wake};
  ShortcutTable table{};
};

TEST_F(ButtonActions, WinDStaysInEntryZeroUntilTheTableIsRebuilt) {
  RunButtonAction(outputs, table, {TriggerKind::BoardButton, 11}, DefaultButtonActions().boardButtons[11].press);
  const ShortcutEntry& zero = table.entries[0];
  EXPECT_EQ(std::vector<InputRecord>(zero.records.begin(), zero.records.begin() + 4), kWinD);
  EXPECT_EQ(zero.records[4], InputRecord{});
  EXPECT_EQ(zero.records[5], InputRecord{});
  EXPECT_EQ(zero.count, 4u);
  EXPECT_EQ(zero.index, 0);

  // Sending any shortcut rebuilds the table first.
  EXPECT_EQ(SendShortcut(output, table, 38), 6u);
  EXPECT_EQ(output.inputs.back(), CtrlShift(0x86));
  EXPECT_EQ(std::vector<InputRecord>(zero.records.begin(), zero.records.end()), CtrlShift(0x7C));
  EXPECT_EQ(zero.count, 6u);
}

TEST_F(ButtonActions, SilentEntriesSendNothing) {
  for (int k : {35, 36}) {
    output.inputs.clear();
    EXPECT_EQ(SendShortcut(output, table, k), 0u);
    ASSERT_EQ(output.inputs.size(), 1u);
    EXPECT_TRUE(output.inputs[0].empty());
  }
}

// Only the select tool (board button 5, touch buttons 5 and 15) turns back a page on a long press.
TEST_F(ButtonActions, OnlyToolSelectHasALongPress) {
  const ButtonActionTable& actions = DefaultButtonActions();
  auto longPressSends = [&](const TriggerActions& trigger) {
    output.inputs.clear();
    RunButtonAction(outputs, table, {TriggerKind::BoardButton, 0, true}, trigger.longPress);
    return output.inputs;
  };
  for (int button = 0; button < kBoardButtonCount; ++button) {
    EXPECT_EQ(longPressSends(actions.boardButtons[button]),
              button == 5 ? std::vector<std::vector<InputRecord>>{kPageUp} : std::vector<std::vector<InputRecord>>{})
        << "board button " << button;
  }
  for (int button = 0; button < kTouchButtonActionCount; ++button) {
    EXPECT_EQ(longPressSends(actions.touchButtons[button]),
              button % 10 == 5 ? std::vector<std::vector<InputRecord>>{kPageUp} : std::vector<std::vector<InputRecord>>{})
        << "touch button " << button;
  }
  EXPECT_TRUE(output.commands.empty());
}


// Text in, record out, and its canonical text back: every kind, the spellings IT may write, and the
// entries that must fall back to the default.
TEST(ActionText, ParsesFormatsAndRefuses) {
  const Trigger button{TriggerKind::BoardButton, 3};
  const Trigger gesture{TriggerKind::Gesture, 0};
  struct Case {
    Trigger trigger;
    const wchar_t* text;
    const wchar_t* canonical;  // nullptr: refused
  } cases[] = {
      {button, L"nothing", L"nothing"},
      {button, L" Desktop ", L"desktop"},
      {button, L"easiteach undo", L"easiteach Undo"},
      {button, L"keys ctrl + shift+s", L"keys Ctrl+Shift+S"},
      {button, L"keys Win+Shift+S", L"keys Win+Shift+S"},
      {button, L"keys PgDn", L"keys Page Down"},
      {button, L"keys F5", L"keys F5"},
      {button, L"program \"C:\\Program Files\\x.exe\" /a  /b", L"program \"C:\\Program Files\\x.exe\" /a  /b"},
      {button, L"program notepad.exe", L"program notepad.exe"},
      {button, L"open https://example.org/a?b=c", L"open https://example.org/a?b=c"},
      {button, L"keyboard", L"keyboard"},
      {button, L"right-click", L"right-click"},
      {button, L"check", L"check"},
      {button, L"calibrate", L"calibrate"},
      {gesture, L"standard", L"standard"},
      {button, L"standard", nullptr},  // only a gesture has a shortcut of its own
      {button, L"keys Ctrl+Ctrl+Z", nullptr},
      {button, L"keys Ctrl+", nullptr},
      {button, L"keys Ctrl", nullptr},
      {button, L"keys F25", nullptr},
      {button, L"keys Ctrl+Q+Z", nullptr},
      {button, L"easiteach Dance", nullptr},
      {button, L"program \"C:\\x.exe", nullptr},
      {button, L"open", nullptr},
      {button, L"desktop now", nullptr},
      {button, L"launch x.exe", nullptr},
  };
  for (const Case& c : cases) {
    const std::optional<ButtonAction> action = ParseAction(c.text, c.trigger);
    ASSERT_EQ(action.has_value(), c.canonical != nullptr) << ::testing::PrintToString(std::wstring(c.text));
    if (!action) continue;
    EXPECT_EQ(FormatAction(*action), c.canonical);
    EXPECT_EQ(ParseAction(FormatAction(*action), c.trigger), action);
  }

  // A section: a missing key is the default, a bad one the default and listed, the others taken.
  const std::map<std::wstring, std::wstring> section = {
      {L"Button3", L"keys Ctrl+Z"}, {L"Button4", L"keys Ctrl+Banana"}, {L"TouchButton2.LongPress", L"keyboard"}};
  const ButtonActionsRead read = ParseButtonActions([&](const std::wstring& key) {
    const auto found = section.find(key);
    return found == section.end() ? std::wstring() : found->second;
  });
  ButtonActionTable expected = DefaultButtonActions();
  expected.boardButtons[3].press = *ParseAction(L"keys Ctrl+Z", button);
  expected.touchButtons[1].longPress = KindAction(ActionKind::Keyboard);
  EXPECT_EQ(read.table, expected);
  EXPECT_EQ(read.refused, (std::vector<RefusedAction>{{L"Button4", L"keys Ctrl+Banana"}}));
  // Saved, the changed triggers are written and one set back to its default is emptied.
  const std::vector<SettingWrite> writes = ButtonActionWrites(read.table, DefaultButtonActions());
  ASSERT_EQ(writes.size(), 2u);
  EXPECT_EQ(writes[0].key + L"=" + writes[0].value, L"Button3=");
  EXPECT_EQ(writes[1].key + L"=" + writes[1].value, L"TouchButton2.LongPress=");
}

// A SendInput that takes only its first `accepts` records of a call.
class ShortKeyOutput : public KeyOutput {
 public:
  std::uint32_t SendInput(const InputRecord* records, std::uint32_t count) override {
    calls.emplace_back(records, records + count);
    const std::uint32_t sent = calls.size() == 1 ? std::min(count, accepts) : count;
    return sent;
  }
  std::uint32_t accepts = kMaxInputRecords;
  std::vector<std::vector<InputRecord>> calls;
};

// One call a combination; a call that stops half-way is followed by the releases of what it left down.
TEST(KeyCombinations, GoOutInOneCallAndNeverLeaveAKeyDown) {
  const InputRecord ctrl = KeyPress(kVkControl), shift = KeyPress(kVkShift), win = KeyPress(kVkLeftWin);
  const InputRecord ctrlUp = KeyRelease(kVkControl), shiftUp = KeyRelease(kVkShift), winUp = KeyRelease(kVkLeftWin);
  using Calls = std::vector<std::vector<InputRecord>>;
  struct Case {
    const wchar_t* keys;
    std::uint32_t accepts;
    Calls calls;
  } cases[] = {
      {L"Ctrl+Z", 10, {{ctrl, KeyPress('Z'), KeyRelease('Z'), ctrlUp}}},
      {L"Win+Shift+S", 10, {{win, shift, KeyPress('S'), KeyRelease('S'), shiftUp, winUp}}},
      {L"Page Down", 10, {{KeyPress(0x22), KeyRelease(0x22)}}},
      {L"Esc", 10, {{KeyPress(0x1B), KeyRelease(0x1B)}}},
      {L"Alt+F4", 10, {{KeyPress(kVkAlt), KeyPress(0x73), KeyRelease(0x73), KeyRelease(kVkAlt)}}},
      {L"Ctrl+Shift+Alt+Win+7",
       10,
       {{ctrl, shift, KeyPress(kVkAlt), win, KeyPress('7'), KeyRelease('7'), winUp, KeyRelease(kVkAlt), shiftUp,
         ctrlUp}}},
      // Stopped after Ctrl, Shift and S went down: S, Shift, Ctrl come up, the last pressed first.
      {L"Ctrl+Shift+S",
       3,
       {{ctrl, shift, KeyPress('S'), KeyRelease('S'), shiftUp, ctrlUp}, {KeyRelease('S'), shiftUp, ctrlUp}}},
      // Stopped after S came up again: only the modifiers are still down.
      {L"Ctrl+Shift+S",
       4,
       {{ctrl, shift, KeyPress('S'), KeyRelease('S'), shiftUp, ctrlUp}, {shiftUp, ctrlUp}}},
      {L"Ctrl+Z", 0, {{ctrl, KeyPress('Z'), KeyRelease('Z'), ctrlUp}}},  // nothing went down
  };
  for (const Case& c : cases) {
    ShortKeyOutput keys;
    keys.accepts = c.accepts;
    const auto combination = ParseKeyCombination(c.keys);
    ASSERT_TRUE(combination);
    EXPECT_EQ(SendKeyCombination(keys, *combination), std::min<std::uint32_t>(c.accepts, c.calls[0].size()));
    EXPECT_EQ(keys.calls, c.calls) << ::testing::PrintToString(std::wstring(c.keys));
  }
}

class TriggerRuns : public testing::DriverFixture {
 protected:
  void SetUp() override {
    DriverFixture::SetUp();
    driver.statusChanged = [this] { ++wakes; };
  }
  void Set(Trigger trigger, const wchar_t* text) {
    ButtonActionTable table = *driver.settings.buttonActions.Current();
    ActionOf(table, trigger) = *ParseAction(text, trigger);
    ASSERT_TRUE(ChangeButtonActions(platform.settings, driver.settings, table));
  }
  int wakes = 0;
};

// A start that fails is told once per trigger and run: one event, one wake of the icon's thread.
TEST_F(TriggerRuns, AFailedStartIsToldOncePerTrigger) {
  platform.output.startResult = StartResult::NotFound;
  for (int i = 0; i < 2; ++i) {
    ReleaseButton(3);
    ReleaseButton(4);
  }
  EXPECT_EQ(platform.output.commands.size(), 4u) << "each press tries again";
  ASSERT_EQ(platform.log.events.size(), 2u);
  EXPECT_EQ(platform.log.events[0].first, LogEvent::ActionNotStarted);
  EXPECT_EQ(platform.log.events[0].second,
            (std::vector<std::wstring>{L"Button 3", L"Undo (Easiteach)", L"not found"}));
  EXPECT_EQ(wakes, 2);
  EXPECT_EQ(driver.actionRequests.failure[TriggerIndex({TriggerKind::BoardButton, 3})], StartResult::NotFound);
  EXPECT_EQ(FailureNotice({TriggerKind::BoardButton, 3}, DefaultButtonActions().boardButtons[3].press,
                          StartResult::NotFound),
            L"Button 3 is set to an Easiteach command, but Easiteach is not installed. Choose another action in "
            L"Velno settings.");
}

// "Right-click the next touch": the next stroke presses and lifts the right button, the one after the left.
TEST_F(TriggerRuns, RightClickTheNextTouch) {
  Set({TriggerKind::BoardButton, 2}, L"right-click");
  ReleaseButton(2);
  auto strokeFlags = [&] {
    platform.output.mouse.clear();
    Down(1000, 1000, 3);
    Up(1000, 1000);
    std::vector<std::uint32_t> flags;
    for (const testing::MouseCall& call : platform.output.mouse) flags.push_back(call.flags);
    return flags;
  };
  EXPECT_EQ(strokeFlags(), (std::vector<std::uint32_t>{kInjectRightPress, kInjectMove, kInjectRightRelease}));
  EXPECT_EQ(strokeFlags(), (std::vector<std::uint32_t>{kInjectPress, kInjectMove, kInjectRelease}));
}

// "Forget the touch buttons": saved as none, and a touch on a board's button draws from its next report.
TEST_F(TriggerRuns, ForgottenTouchButtonsDrawAtOnce) {
  board.calibration.touchButtons.positions[0] = {1000, 1000};
  board.calibration.touchButtons.count = 1;
  Down(1000, 1000, 3);
  Up(1000, 1000);
  ASSERT_TRUE(platform.output.mouse.empty()) << "the touch button took the stroke";
  ASSERT_TRUE(ForgetTouchButtons(platform.settings, driver.actionRequests));
  EXPECT_EQ(platform.settings.ReadNumber(kSettingsSection, L"num_buttons", -1), 0);
  Down(1000, 1000, 3);
  EXPECT_EQ(platform.output.mouse.size(), 2u);
}

}  // namespace
}  // namespace velno
