#include "settings/settings_window_model.h"

#include "settings/buttons_page_model.h"

#include <gtest/gtest.h>

namespace velno {
namespace {

// Each button's step from a state of the settings, and the words the window then shows.
TEST(SettingsWindowModel, StepsStayInRangeAndTheWordsSayWhatTheSettingDoes) {
  const TeacherSettings defaults{};
  const auto hold = [](std::int32_t ms) {
    TeacherSettings s;
    s.holdMs = ms;
    return s;
  };
  const auto sizes = [](std::int32_t brush, std::int32_t erase) {
    TeacherSettings s;
    s.gestureBrush = brush;
    s.gestureErase = erase;
    return s;
  };
  const struct {
    const char* name;
    TeacherSettings after;
    TeacherSettings expected;
  } steps[] = {
      {"shorter by half a second", StepHoldTime(defaults, -1), hold(9500)},
      {"no longer than 10 s", StepHoldTime(defaults, +1), hold(10000)},
      {"no shorter than 1 s", StepHoldTime(hold(1000), -1), hold(1000)},
      {"the brush's next side, 6", StepGestureSize(defaults, GestureSize::Brush, +1), sizes(3600, 25000)},
      {"the eraser's 15.8 to the side below, 12", StepGestureSize(defaults, GestureSize::Eraser, -1),
       sizes(2500, 14400)},
      {"the eraser's side above, 16", StepGestureSize(defaults, GestureSize::Eraser, +1), sizes(2500, 25600)},
      {"the brush stays below the eraser", StepGestureSize(sizes(19600, 25000), GestureSize::Brush, +1),
       sizes(19600, 25000)},
      {"the eraser stays above the brush", StepGestureSize(sizes(10000, 14400), GestureSize::Eraser, -1),
       sizes(10000, 14400)},
      {"the smallest side is 1", StepGestureSize(sizes(100, 25000), GestureSize::Brush, -1), sizes(100, 25000)},
      {"the largest side is 100", StepGestureSize(sizes(2500, 1000000), GestureSize::Eraser, +1),
       sizes(2500, 1000000)},
  };
  for (const auto& step : steps) EXPECT_EQ(step.after, step.expected) << step.name;

  TeacherSettings s = hold(2500);
  EXPECT_EQ(HoldWords(s), L"Hold the pen still for 2.5 seconds, then lift it: a right click.");
  EXPECT_EQ(HoldWords(hold(1000)), L"Hold the pen still for 1 second, then lift it: a right click.");
  s.pressAndHold = false;
  EXPECT_EQ(HoldWords(s), L"Off: holding the pen still does nothing more.");
  EXPECT_TRUE(GestureSizeWords(defaults, GestureSize::Eraser)
                  .starts_with(L"Eraser (Ctrl+Shift+F24): a stroke that starts wider than 16 \u00D7 16 board points."));
  EXPECT_TRUE(GestureSizeWords(defaults, GestureSize::Brush)
                  .starts_with(L"Brush (Ctrl+Shift+F22): a stroke that starts within 5 \u00D7 5 board points."));
}

}  // namespace
}  // namespace velno

namespace velno {
namespace {

// The Buttons page: each trigger's line in plain words, and where the pen's steps lead.
TEST(ButtonsPageModel, LinesSayWhatEachTriggerDoesAndStepsGoRound) {
  const Trigger button3{TriggerKind::BoardButton, 3};
  const Trigger touch2Held{TriggerKind::TouchButton, 1, true};
  const Trigger small{TriggerKind::Gesture, 0};
  ButtonAction program = KindAction(ActionKind::Program);
  program.target = L"C:\\Tools\\x.exe";
  program.arguments = L"/a";
  const struct {
    Trigger trigger;
    ButtonAction action;
    bool failed;
    const wchar_t* line;
  } lines[] = {
      {button3, DefaultButtonActions().boardButtons[3].press, false, L"Button 3: Undo (Easiteach)"},
      {button3, DefaultButtonActions().boardButtons[3].press, true, L"Button 3 (failed): Undo (Easiteach)"},
      {touch2Held, program, false, L"Touch button 2 held: Start C:\\Tools\\x.exe /a"},
      {small, DefaultButtonActions().gestures[0], false, L"Small gesture: The gesture's own shortcut"},
      {TriggerAt(kTriggerCount - 1), KindAction(ActionKind::RightClickNext), false,
       L"Large gesture: Right-click the next touch"},
  };
  for (const auto& l : lines) EXPECT_EQ(TriggerLine(l.trigger, l.action, l.failed), l.line);

  const ButtonAction nothing = KindAction(ActionKind::Nothing);
  EXPECT_EQ(StepAction(button3, nothing, nothing, +1), KindAction(ActionKind::ShowDesktop));
  EXPECT_EQ(StepAction(button3, nothing, nothing, -1), KindAction(ActionKind::CalibrateScreen));
  // Only a gesture offers its own shortcut; a program from config.ini stays within reach once stepped off.
  EXPECT_EQ(StepAction(small, nothing, nothing, -1), KindAction(ActionKind::GestureShortcut));
  EXPECT_EQ(StepAction(touch2Held, program, program, +1), nothing);
  EXPECT_EQ(StepAction(touch2Held, program, nothing, -1), program);
  // Every trigger's default is one of its choices, so stepping from it and back never loses it.
  for (int i = 0; i < kTriggerCount; ++i) {
    const Trigger t = TriggerAt(i);
    const ButtonAction& d = ActionOf(DefaultButtonActions(), t);
    EXPECT_EQ(StepAction(t, nothing, StepAction(t, nothing, d, +1), -1), d) << i;
  }
  EXPECT_EQ(SentTriggerLine(0), -1);
}

}  // namespace
}  // namespace velno
