#include "adjust_operations.h"

namespace adjust {
namespace {

template <typename Function>
bool Bind(const FindOperation& find, const char* name, Function& slot) {
  void* address = find(name);
  slot = reinterpret_cast<Function>(address);
  return address != nullptr;
}

// Binds the operations of one group, in their order; false at the first name the library lacks.
bool BindGroup(const FindOperation& find, AdjustOperations& o, int group) {
#define VELNO_TOOL_BIND(name, signature, driverGroup, toolGroup) \
  VELNO_WHEN_BOUND(toolGroup, if (group == toolGroup && !Bind(find, #name, o.name)) return false;)
  VELNO_OPERATIONS(VELNO_TOOL_BIND)
#undef VELNO_TOOL_BIND
  return true;
}

}  // namespace

bool BindAdjustOperations(const FindOperation& find, AdjustOperations& operations) {
  operations = {};
  return BindGroup(find, operations, 1) && BindGroup(find, operations, 2);
}

}  // namespace adjust
