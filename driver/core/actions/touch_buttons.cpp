#include "actions/touch_buttons.h"

#include "calibration/settings_file.h"


namespace velno {
namespace {

// Whether an offset on one axis can lie within reach at all. A button that the settings file puts near
// the ends of the 32-bit range is about 2^31 units away on both axes: squared and summed, that
// overflows even 64 bits.
bool WithinReachOnOneAxis(std::int64_t d) { return d * d < kTouchButtonReachSquared; }

// The first button in list order within reach of the position, or -1. For positions the board reports
// the distance equals the 32-bit result.
std::int32_t HitButton(const TouchButtonList& buttons, BoardPoint at) {
  for (std::uint32_t i = 0; i < buttons.count && i < buttons.positions.size(); ++i) {
    const std::int64_t dx = static_cast<std::int64_t>(at.x) - buttons.positions[i].x;
    const std::int64_t dy = static_cast<std::int64_t>(at.y) - buttons.positions[i].y;
    if (!WithinReachOnOneAxis(dx) || !WithinReachOnOneAxis(dy)) continue;
    if (dx * dx + dy * dy < kTouchButtonReachSquared) return static_cast<std::int32_t>(i);
  }
  return -1;
}

void ReleaseTouchButton(Clock& clock, PointerOutput& pointer, const ActionOutputs& outputs,
                        const LiveButtonActions& actions, TouchButtonPress& press, ShortcutTable& shortcuts) {
  press.releaseStamp = clock.ReadClock();
  press.pressed = false;
  // A stroke that began off the button holds the left button; lift it where the cursor is. One that
  // began on it pressed nothing, and gets no release either.
  if (press.leftHeld) pointer.InjectMouse(kMouseLeftUp, 0, 0);

  if (press.button < 0 || press.button >= kTouchButtonActionCount) return;
  const bool longPress = ElapsedMilliseconds(press.pressStamp, press.releaseStamp) >= kLongPressMilliseconds;
  RunTriggerActions(outputs, shortcuts, *actions.Current(), {TriggerKind::TouchButton, press.button}, longPress);
}

}  // namespace

bool CheckTouchButtons(Clock& clock, PointerOutput& pointer, const ActionOutputs& outputs,
                       const LiveButtonActions& actions, const TouchButtonList& buttons, TouchButtonPress& press,
                       ShortcutTable& shortcuts, BoardPoint smoothed, PenEvent event) {
  if (event == kPenRelease) {
    // The recorded button fires wherever the pen is lifted.
    if (!press.pressed) return false;
    ReleaseTouchButton(clock, pointer, outputs, actions, press, shortcuts);
    return true;
  }

  const std::int32_t hit = HitButton(buttons, smoothed);
  if (hit < 0) return false;
  // A press already recorded keeps its button and stamp, even when the pen now lies on another button.
  if (!press.pressed) {
    press.pressStamp = clock.ReadClock();
    press.button = hit;
    press.pressed = true;
    press.leftHeld = event != kPenPress;
  }
  return true;
}

bool ForgetTouchButtons(SettingsStore& store, ActionRequests& requests) {
  // The places stay in the file, as a button run that records fewer leaves the ones past its count.
  const bool saved = store.Save({{kSettingsSection, L"num_buttons", L"0"}});
  requests.touchButtonsForgotten.fetch_add(1);
  return saved;
}

void TakeForgottenTouchButtons(const ActionRequests& requests, std::uint32_t& seen, const TouchButtonPress& press,
                               TouchButtonList& buttons) {
  const std::uint32_t forgotten = requests.touchButtonsForgotten.load(std::memory_order_relaxed);
  if (forgotten == seen || press.pressed) return;
  buttons.count = 0;
  seen = forgotten;
}

}  // namespace velno
