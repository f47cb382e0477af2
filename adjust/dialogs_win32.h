// The tool's two modal dialogs, run from resource templates on the tool's only thread.
#pragma once

#include <windows.h>

#include <cstdint>

#include "adjust_platform.h"

namespace adjust {

// The point-count chooser (template 156), centred on the pass's monitor for an extended pass.
ChooserResult RunChooseCountDialog(HINSTANCE instance, const PassScreen& screen);

// The target window (template 111) for `count` targets; polls `handOff` (may be null) and the driver's
// index every 200 ms. Returns 0 when it ended itself, IDCANCEL on Esc or close, IDOK on Enter.
INT_PTR RunTargetDialog(HINSTANCE instance, const PassScreen& screen, std::uint32_t count,
                        const AdjustOperations& operations, HANDLE handOff);

}  // namespace adjust
