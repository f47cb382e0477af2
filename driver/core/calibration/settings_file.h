// The settings file "config.ini" beside the driver program: the board's calibration, its touch buttons
// and the two gesture thresholds, in one section shared by every board.
#pragma once

#include <string>

#include "calibration/calibration_block.h"
#include "platform/settings_store.h"
#include "platform/shared_state.h"

namespace velno {

// "Adjust-%s" formatted wide with the narrow "COM": the bytes 'C' 'O' 'M' 0 read as the two UTF-16 units
// U+4F43 and 'M'. Files written by earlier versions carry this name, so it stays.
inline const std::wstring kSettingsSection = L"Adjust-\x4F43M";

// Reads the file into a board's calibration and the library's gesture thresholds. A count that is not a
// supported grid leaves the board uncalibrated on the 16-point grid, its points and touch buttons untouched.
void LoadSettings(SettingsStore& store, const SharedState& sharedState, CalibrationBlock& calibration);

// Writes every key anew, in one save; keys beyond the current counts stay in the file. The calibration
// keys are written only for a calibrated board. True once the file holds them (SettingsStore::Save).
bool SaveSettings(SettingsStore& store, const SharedState& sharedState, const CalibrationBlock& calibration);

}  // namespace velno
