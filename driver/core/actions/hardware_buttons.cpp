#include "actions/hardware_buttons.h"

#include "actions/button_actions.h"
#include "platform/driver_platform.h"

namespace velno {

void OnHardwareButton(DriverPlatform& platform, HardwareButtonPress& press, ShortcutTable& shortcuts,
                      std::int32_t number, bool pressed) {
  if (pressed) {
    press.pressStamp = platform.ReadClock();
    press.seen = true;
    return;
  }

  // The release is not matched to its press: it measures from the board's last press of any button.
  // A release with no press since start-up is a short press.
  const TimeStamp releaseStamp = platform.ReadClock();
  RunButtonAction(platform, shortcuts, number);
  if (press.seen && ElapsedMilliseconds(press.pressStamp, releaseStamp) >= kLongPressMilliseconds) {
    RunLongPressAction(platform, shortcuts, number);
  }
}

}  // namespace velno
