// Exported operations of Velno.dll. Programs load the library by file name and resolve these by name;
// every argument and result is a 32-bit signed integer. Velno.def alone decides what is exported.
#pragma once

#include <cstdint>

#include "velno_operations.h"

#define VELNO_EXPORT extern "C"

#define VELNO_DECLARE_EXPORT(name, signature, driverGroup, toolGroup) \
  VELNO_EXPORT std::int32_t name(VELNO_PARAMETERS_##signature);
VELNO_OPERATIONS(VELNO_DECLARE_EXPORT)
#undef VELNO_DECLARE_EXPORT
