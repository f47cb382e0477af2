// A full-screen dialog that covers exactly one monitor, also when the monitors have different scales.
#pragma once

#include <windows.h>

#include "adjust_platform.h"
#include "screen_layout.h"

namespace adjust {

// Turns off the dialog's own rescaling on a change of scale and places it over `monitor`. Call it again
// on WM_DPICHANGED: moved onto a monitor of another scale, the window keeps that monitor's rectangle
// instead of the one the system suggests.
void CoverMonitor(HWND dialog, const ScreenRect& monitor);

// The monitor a pass calibrates: the extended monitor it found, or the primary one.
ScreenRect MonitorOfPass(const PassScreen& screen);

}  // namespace adjust
