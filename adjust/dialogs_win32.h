// The tool's modal dialogs, run from resource templates on the tool's only thread.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "adjust_platform.h"

namespace adjust {

// The point-count chooser (IDD_CHOOSE_COUNT), centred on the pass's monitor for an extended pass.
ChooserResult RunChooseCountDialog(HINSTANCE instance, const PassScreen& screen);

// The target window (IDD_TARGET_WINDOW) for `count` targets; polls `handOff` (may be null) and the
// driver's index every 200 ms, and ends when no target is taken for 30 s. The caller stops the run.
TargetOutcome RunTargetDialog(HINSTANCE instance, const PassScreen& screen, std::uint32_t count,
                              const AdjustOperations& operations, HANDLE handOff);

// The check after a saved calibration on the pass's screen: five crosses, then the result screen. Ends
// as "Done" after 30 s without a touch or when `handOff` (may be null) is signalled.
CheckOutcome RunCheckDialog(HINSTANCE instance, const PassScreen& screen, std::uint32_t count, HANDLE handOff);

// The message that there is no calibration to check yet (IDD_NO_CALIBRATION); true for "Calibrate".
bool RunNoCalibrationDialog(HINSTANCE instance);

// The chooser of how many touch buttons are printed on the board (IDD_CHOOSE_PRINTED_BUTTONS), centred on
// the primary screen.
ChooserResult RunChoosePrintedButtonsDialog(HINSTANCE instance);

// The touch-button window (IDD_TOUCH_BUTTON_WINDOW) over the primary screen, asking for each printed
// button in turn, with what it will do (`actionWords`, one entry a button, may be empty); polls `handOff`
// (may be null) and the button run's index every 200 ms, and ends when no button is taken for 30 s. The
// caller stops the run.
TargetOutcome RunTouchButtonDialog(HINSTANCE instance, const std::vector<std::wstring>& actionWords,
                                   const AdjustOperations& operations, HANDLE handOff);

// "6 touch buttons set up" with its "Close" (IDD_TOUCH_BUTTONS_SET_UP).
void RunTouchButtonsSetUpDialog(HINSTANCE instance, std::uint32_t count);

}  // namespace adjust
