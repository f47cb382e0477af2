// Exported operations of Velno.dll. Programs load the library by file name and resolve these by name;
// every argument and result is a 32-bit signed integer. Velno.def alone decides what is exported.
#pragma once

#include <cstdint>

#define VELNO_EXPORT extern "C"

VELNO_EXPORT std::int32_t StartAdjust();
VELNO_EXPORT std::int32_t StopAdjust();
VELNO_EXPORT std::int32_t SetAdjustCurrentIndex(std::int32_t index);
VELNO_EXPORT std::int32_t GetAdjustCurrentIndex();
VELNO_EXPORT std::int32_t IsAdjusting();
VELNO_EXPORT std::int32_t SetAdjustType(std::int32_t type);
VELNO_EXPORT std::int32_t GetAdjustType();

VELNO_EXPORT std::int32_t StartButtonAdjust();
VELNO_EXPORT std::int32_t StopButtonAdjust();
VELNO_EXPORT std::int32_t SetButtonAdjustCurrentIndex(std::int32_t index);
VELNO_EXPORT std::int32_t GetButtonAdjustCurrentIndex();
VELNO_EXPORT std::int32_t IsButtonAdjusting();
VELNO_EXPORT std::int32_t SetButtonAdjustType(std::int32_t type);
VELNO_EXPORT std::int32_t GetButtonAdjustType();

VELNO_EXPORT std::int32_t SetDeviceState(std::int32_t state);
VELNO_EXPORT std::int32_t GetDeviceState();

VELNO_EXPORT std::int32_t SetButtonTarget(std::int32_t handle, std::int32_t value);
VELNO_EXPORT std::int32_t GetButtonTarget(std::int32_t* handle, std::int32_t* value);

VELNO_EXPORT std::int32_t SetGestureBrush(std::int32_t threshold);
VELNO_EXPORT std::int32_t GetGestureBrush();
VELNO_EXPORT std::int32_t SetGestureErase(std::int32_t threshold);
VELNO_EXPORT std::int32_t GetGestureErase();
VELNO_EXPORT std::int32_t StartGestureAdjust();
VELNO_EXPORT std::int32_t StopGestureAdjust();
VELNO_EXPORT std::int32_t IsGestureAdjusting();
VELNO_EXPORT std::int32_t IsUsingGesture(std::int32_t flag);
