#include "fake_velno.h"

#include "shared_state_ops.h"

namespace velno::testing {
namespace {

SharedBlock g_block{};

}  // namespace

SharedBlock& FakeVelnoBlock() { return g_block; }

void ResetFakeVelno() { g_block = SharedBlock{}; }

SharedState FakeSharedState() {
  SharedState l{};
  // A capture-less generic lambda converts to the member's function-pointer type.
#define VELNO_FAKE_OPERATION(name, signature, driverGroup, toolGroup) \
  VELNO_WHEN_BOUND(driverGroup, l.name = [](auto... a) { return velno::name(g_block, a...); };)
  VELNO_OPERATIONS(VELNO_FAKE_OPERATION)
#undef VELNO_FAKE_OPERATION
  return l;
}

}  // namespace velno::testing
