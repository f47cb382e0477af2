// The tool from start to end: hand-off to a running copy, the shared-state library, the passes named
// by the program path, the board checks, then each pass (chooser, adjust type, target window, stop,
// and the check after a saved calibration), or the check of the saved calibration alone.
#pragma once

#include <string_view>

#include "adjust_platform.h"

namespace adjust {

// `programPath` is the first word of the command line as the standard splitting gives it;
// `checkCalibration` runs the check of the saved calibration instead of the passes the name picks.
void RunAdjust(AdjustPlatform& platform, std::wstring_view programPath, bool checkCalibration = false);

}  // namespace adjust
