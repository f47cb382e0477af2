// The 26 operations of the shared-state library as plain functions over one SharedBlock. Velno.dll
// exports them over its cross-process block; tests run them over a block of their own.
#pragma once

#include <cstdint>

#include "shared_block.h"

namespace velno {

// Point-calibration run.
std::int32_t StartAdjust(SharedBlock& block);
std::int32_t StopAdjust(SharedBlock& block);
std::int32_t SetAdjustCurrentIndex(SharedBlock& block, std::int32_t index);
std::int32_t GetAdjustCurrentIndex(const SharedBlock& block);
std::int32_t IsAdjusting(const SharedBlock& block);
std::int32_t SetAdjustType(SharedBlock& block, std::int32_t type);
std::int32_t GetAdjustType(const SharedBlock& block);

// Touch-button position capture run.
std::int32_t StartButtonAdjust(SharedBlock& block);
std::int32_t StopButtonAdjust(SharedBlock& block);
std::int32_t SetButtonAdjustCurrentIndex(SharedBlock& block, std::int32_t index);
std::int32_t GetButtonAdjustCurrentIndex(const SharedBlock& block);
std::int32_t IsButtonAdjusting(const SharedBlock& block);
std::int32_t SetButtonAdjustType(SharedBlock& block, std::int32_t type);
std::int32_t GetButtonAdjustType(const SharedBlock& block);

// Device state.
std::int32_t SetDeviceState(SharedBlock& block, std::int32_t state);
std::int32_t GetDeviceState(const SharedBlock& block);

// Button target.
std::int32_t SetButtonTarget(SharedBlock& block, std::int32_t handle, std::int32_t value);
std::int32_t GetButtonTarget(const SharedBlock& block, std::int32_t* handle, std::int32_t* value);

// Gestures.
std::int32_t SetGestureBrush(SharedBlock& block, std::int32_t threshold);
std::int32_t GetGestureBrush(const SharedBlock& block);
std::int32_t SetGestureErase(SharedBlock& block, std::int32_t threshold);
std::int32_t GetGestureErase(const SharedBlock& block);
std::int32_t StartGestureAdjust(SharedBlock& block);
std::int32_t StopGestureAdjust(SharedBlock& block);
std::int32_t IsGestureAdjusting(const SharedBlock& block);
std::int32_t IsUsingGesture(SharedBlock& block, std::int32_t flag);

}  // namespace velno
