#include "actions/hardware_buttons.h"

namespace velno {

void OnHardwareButton(Clock& clock, const ActionOutputs& outputs, const ButtonActionTable& actions,
                      HardwareButtonPress& press, ShortcutTable& shortcuts, std::int32_t number, bool pressed) {
  if (pressed) {
    press.pressStamp = clock.ReadClock();
    press.seen = true;
    return;
  }

  // The release is not matched to its press: it measures from the board's last press of any button.
  // A release with no press since start-up is a short press.
  const TimeStamp releaseStamp = clock.ReadClock();
  if (number < 0 || number >= kBoardButtonCount) return;
  const bool longPress = press.seen && ElapsedMilliseconds(press.pressStamp, releaseStamp) >= kLongPressMilliseconds;
  RunTriggerActions(outputs, shortcuts, actions, {TriggerKind::BoardButton, number}, longPress);
}

}  // namespace velno
