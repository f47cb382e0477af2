// The one list of Velno.dll's operations. Every other listing is generated from it (the exported
// declarations, the library's exports, the driver's and the tool's bindings, the tests' in-process
// library) or checked against it at build time (Velno.def, the export test).
//
// X(name, signature, driverGroup, toolGroup), in export order:
//   signature    Get: int32 ();  Set: int32 (int32);  SetPair: int32 (int32, int32);
//                GetPair: int32 (int32*, int32*). Every argument and result is a 32-bit signed integer.
//   driverGroup  the group the driver binds it in (1, 2, 3, in that order; a group that misses one
//                stops the binding), 0 when the driver does not bind it.
//   toolGroup    the same for the calibration tool (1 the point run and the board check, 2 the button
//                run), 0 when unbound.
#pragma once

#define VELNO_OPERATIONS(X)                    \
  X(StartAdjust, Get, 1, 1)                    \
  X(StopAdjust, Get, 1, 1)                     \
  X(SetAdjustCurrentIndex, Set, 1, 1)          \
  X(GetAdjustCurrentIndex, Get, 1, 1)          \
  X(IsAdjusting, Get, 1, 1)                    \
  X(SetAdjustType, Set, 1, 1)                  \
  X(GetAdjustType, Get, 1, 1)                  \
  X(StartButtonAdjust, Get, 2, 2)              \
  X(StopButtonAdjust, Get, 2, 2)               \
  X(SetButtonAdjustCurrentIndex, Set, 2, 2)    \
  X(GetButtonAdjustCurrentIndex, Get, 2, 2)    \
  X(IsButtonAdjusting, Get, 2, 2)              \
  X(SetButtonAdjustType, Set, 2, 2)            \
  X(GetButtonAdjustType, Get, 2, 2)            \
  X(SetDeviceState, Set, 1, 0)                 \
  X(GetDeviceState, Get, 1, 1)                 \
  X(SetButtonTarget, SetPair, 0, 0)            \
  X(GetButtonTarget, GetPair, 1, 0)            \
  X(SetGestureBrush, Set, 3, 0)                \
  X(GetGestureBrush, Get, 3, 0)                \
  X(SetGestureErase, Set, 3, 0)                \
  X(GetGestureErase, Get, 3, 0)                \
  X(StartGestureAdjust, Get, 0, 0)             \
  X(StopGestureAdjust, Get, 3, 0)              \
  X(IsGestureAdjusting, Get, 3, 0)             \
  X(IsUsingGesture, Set, 3, 0)

// Parameter lists and the matching argument lists of the four signatures.
#define VELNO_PARAMETERS_Get
#define VELNO_PARAMETERS_Set std::int32_t a
#define VELNO_PARAMETERS_SetPair std::int32_t a, std::int32_t b
#define VELNO_PARAMETERS_GetPair std::int32_t *a, std::int32_t *b
#define VELNO_ARGUMENTS_Get
#define VELNO_ARGUMENTS_Set , a
#define VELNO_ARGUMENTS_SetPair , a, b
#define VELNO_ARGUMENTS_GetPair , a, b

// VELNO_WHEN_BOUND(group, text): the text for an operation that is bound (group 1 to 3), nothing for
// one that is not (group 0).
#define VELNO_WHEN_BOUND(group, ...) VELNO_WHEN_BOUND_##group(__VA_ARGS__)
#define VELNO_WHEN_BOUND_0(...)
#define VELNO_WHEN_BOUND_1(...) __VA_ARGS__
#define VELNO_WHEN_BOUND_2(...) __VA_ARGS__
#define VELNO_WHEN_BOUND_3(...) __VA_ARGS__
