// The monitor a pass's full-screen windows cover.
#pragma once

#include <windows.h>

#include "adjust_platform.h"

namespace adjust {

// The extended monitor the pass found, or the primary one.
RECT MonitorOfPass(const PassScreen& screen);

}  // namespace adjust
