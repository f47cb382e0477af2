// The 24 operations of Velno.dll that the driver binds by name, as function pointers.
#pragma once

#include <cstdint>

namespace velno {

struct VelnoLibrary {
  using Get = std::int32_t (*)();
  using Set = std::int32_t (*)(std::int32_t);
  using GetPair = std::int32_t (*)(std::int32_t*, std::int32_t*);

  // Point-calibration run and device state.
  Get StartAdjust;
  Get StopAdjust;
  Set SetAdjustCurrentIndex;
  Get GetAdjustCurrentIndex;
  Get IsAdjusting;
  Set SetAdjustType;
  Get GetAdjustType;
  Set SetDeviceState;
  Get GetDeviceState;
  GetPair GetButtonTarget;
  // Touch-button capture run.
  Get StartButtonAdjust;
  Get StopButtonAdjust;
  Set SetButtonAdjustCurrentIndex;
  Get GetButtonAdjustCurrentIndex;
  Get IsButtonAdjusting;
  Set SetButtonAdjustType;
  Get GetButtonAdjustType;
  // Gestures.
  Set SetGestureBrush;
  Get GetGestureBrush;
  Set SetGestureErase;
  Get GetGestureErase;
  Get IsGestureAdjusting;
  Get StopGestureAdjust;
  Set IsUsingGesture;
};

// Looks an exported operation up by name in the loaded library; nullptr when it is missing.
class SymbolLookup {
 public:
  virtual ~SymbolLookup() = default;
  virtual void* Find(const char* name) = 0;
};

// Resolves the operations in their three groups, in order; stops after the first group that misses
// one. Returns true when all 24 were found.
bool BindVelnoLibrary(SymbolLookup& lookup, VelnoLibrary& library);

}  // namespace velno
