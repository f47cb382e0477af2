// The settings file "config.ini" beside the driver program: the board's calibration, its touch buttons
// and the two gesture thresholds, in one section shared by every board.
#pragma once

#include <cstdint>
#include <string>

#include "calibration/calibration_block.h"
#include "platform/settings_store.h"
#include "platform/shared_state.h"
#include "settings_file_names.h"

namespace velno {

inline const std::wstring kSettingsSection = kCalibrationSection;

// A gesture threshold that reads as 0 takes its default.
inline constexpr std::int32_t kDefaultGestureBrush = 2500;
inline constexpr std::int32_t kDefaultGestureErase = 25000;

// Reads the file into a board's calibration and the library's gesture thresholds. A count that is not a
// supported grid leaves the board uncalibrated on the 16-point grid, its points and touch buttons untouched.
void LoadSettings(SettingsStore& store, const SharedState& sharedState, CalibrationBlock& calibration);

// The two gesture thresholds of the file, each 0 (or missing) read as its default.
std::int32_t ReadGestureBrush(SettingsStore& store);
std::int32_t ReadGestureErase(SettingsStore& store);

// Writes every key anew, in one save; keys beyond the current counts stay in the file. The calibration
// keys are written only for a calibrated board. True once the file holds them (SettingsStore::Save).
bool SaveSettings(SettingsStore& store, const SharedState& sharedState, const CalibrationBlock& calibration);

}  // namespace velno
