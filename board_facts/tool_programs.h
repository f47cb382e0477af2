// How the calibration tool is started for each of its modes: the program names the package installs it
// under (the name picks the screens), and the switches of its other modes.
#pragma once

namespace velno {

inline constexpr const wchar_t* kCalibrateThisScreenProgram = L"Adjust_single_standard.exe";
inline constexpr const wchar_t* kCalibrateSecondScreenProgram = L"Adjust_single_extend.exe";
inline constexpr const wchar_t* kCalibrateBothScreensProgram = L"Adjust_standard_extend_double.exe";

// Any of the names with this argument checks the saved calibration instead of calibrating.
inline constexpr const wchar_t* kCheckCalibrationSwitch = L"/check";
// With this argument the tool sets up the touch buttons printed on the board instead of calibrating.
inline constexpr const wchar_t* kTouchButtonSetupSwitch = L"/buttons";

}  // namespace velno
