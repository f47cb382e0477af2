// The tool from start to end: hand-off to a running copy, the shared-state library, the passes named
// by the program path, the board checks, then each pass (chooser, adjust type, target window, stop,
// and the check after a saved calibration).
#pragma once

#include <string_view>

#include "adjust_platform.h"

namespace adjust {

// `programPath` is the first word of the command line as the standard splitting gives it.
void RunAdjust(AdjustPlatform& platform, std::wstring_view programPath);

}  // namespace adjust
