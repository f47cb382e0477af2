// The named kernel objects through which the programs meet, written once: the service's stop event, which
// the service sets and every driver it launched watches, and the calibration tool's hand-off event, which
// a second copy of the tool signals and the driver looks for to know that a tool is running.
#pragma once

namespace velno {

inline constexpr const wchar_t* kServiceStopEventName = L"Global\\Brelmar_Service";
inline constexpr const wchar_t* kAdjustHandOffEventName = L"Local\\Brelmar_Adjust_Event";

}  // namespace velno
