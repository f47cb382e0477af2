// Where the calibration is kept: "config.ini" beside the programs, written by the driver only, and the
// section and keys the calibration tool reads there to check the calibration in use.
#pragma once

namespace velno {

inline constexpr const wchar_t* kSettingsFileName = L"config.ini";

// "Adjust-%s" formatted wide with the narrow "COM": the bytes 'C' 'O' 'M' 0 read as the two UTF-16 units
// U+4F43 and 'M'. Files written by earlier versions carry this name, so it stays.
inline constexpr const wchar_t* kCalibrationSection = L"Adjust-\x4F43M";
inline constexpr const wchar_t* kPointCountKey = L"AdjustType";
inline constexpr const wchar_t* kScreenFlagKey = L"extendScreenFlag";

}  // namespace velno
