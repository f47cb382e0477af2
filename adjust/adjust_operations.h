// The 15 operations of Velno.dll the tool binds by name (those with a tool group in
// velno_operations.h): the point-calibration run's seven with the device state, and the button run's
// seven. It calls eleven of them (neither run's Start nor its Get...Type), but a library without all 15
// is not one it runs with.
#pragma once

#include <cstdint>
#include <functional>

#include "velno_operations.h"

namespace adjust {

struct AdjustOperations {
  using Get = std::int32_t (*)();
  using Set = std::int32_t (*)(std::int32_t);

#define VELNO_TOOL_MEMBER(name, signature, driverGroup, toolGroup) VELNO_WHEN_BOUND(toolGroup, signature name;)
  VELNO_OPERATIONS(VELNO_TOOL_MEMBER)
#undef VELNO_TOOL_MEMBER
};

// Looks an exported operation up by name; nullptr when the library lacks it.
using FindOperation = std::function<void*(const char* name)>;

// Resolves the point-run names, then the button-run names, in their order; false as soon as one group
// misses a name (the second group is then not looked up).
bool BindAdjustOperations(const FindOperation& find, AdjustOperations& operations);

}  // namespace adjust
