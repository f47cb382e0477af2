// The library's operations bound to one in-process block, as the driver binds Velno.dll. The
// operations take no context, so the block is process-wide; fixtures reset it.
#pragma once

#include "shared_block.h"
#include "platform/shared_state.h"

namespace velno::testing {

SharedBlock& FakeVelnoBlock();
void ResetFakeVelno();
SharedState FakeSharedState();

}  // namespace velno::testing
