// The named kernel objects through which the programs meet, written once: the service's stop event, which
// the service sets and every driver it launched watches; the calibration tool's hand-off event, which a
// second copy of the tool signals; and one event for each kind of capture run, which the program driving
// such a run holds from before the run starts until after it has stopped it, so that the driver ends a
// run whose program has gone (ended, killed, crashed) and no other.
#pragma once

namespace velno {

inline constexpr const wchar_t* kServiceStopEventName = L"Global\\Brelmar_Service";
inline constexpr const wchar_t* kAdjustHandOffEventName = L"Local\\Brelmar_Adjust_Event";
inline constexpr const wchar_t* kPointRunEventName = L"Local\\Brelmar_Adjust_Run";          // the calibration tool
inline constexpr const wchar_t* kButtonRunEventName = L"Local\\Brelmar_ButtonAdjust_Run";   // a touch-button set-up

}  // namespace velno
