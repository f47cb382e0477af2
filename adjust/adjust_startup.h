// The tool from start to end: hand-off to a running copy, the shared-state library, the passes named
// by the program path, the board checks, then each pass (chooser, adjust type, target window, stop,
// and the check after a saved calibration), or the check of the saved calibration alone, or the set-up of
// the touch buttons.
#pragma once

#include <string_view>

#include "adjust_platform.h"

namespace adjust {

// What the tool does; its switch picks it (program_name.h), whatever the program name.
enum class ToolMode {
  Calibrate,     // the passes the program name picks
  Check,         // the check of the saved calibration
  TouchButtons,  // the set-up of the touch buttons printed on the board
};

// `programPath` is the first word of the command line as the standard splitting gives it.
void RunAdjust(AdjustPlatform& platform, std::wstring_view programPath, ToolMode mode = ToolMode::Calibrate);

}  // namespace adjust
