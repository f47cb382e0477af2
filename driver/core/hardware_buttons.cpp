#include "hardware_buttons.h"

#include "button_actions.h"
#include "driver.h"

namespace velno {

void OnHardwareButton(Driver& driver, BoardContext& board, std::int32_t number, std::int32_t pressed) {
  DriverPlatform& platform = driver.platform;
  HardwareButtonPress& press = board.buttonPress;
  if (pressed != 0) {
    press.pressStamp = platform.ReadClock();
    press.seen = 1;
    return;
  }

  // The release is not matched to its press: it measures from the board's last press of any button.
  // A release with no press since start-up is a short press.
  const TimeStamp releaseStamp = platform.ReadClock();
  RunButtonAction(platform, board.shortcuts, number);
  if (press.seen != 0 && ElapsedMilliseconds(press.pressStamp, releaseStamp) >= kLongPressMilliseconds) {
    RunLongPressAction(platform, board.shortcuts, number);
  }
}

}  // namespace velno
