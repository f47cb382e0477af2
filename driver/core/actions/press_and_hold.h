// Press-and-hold: a pen held still turns the pointer busy after 600 ms, and lifting it after it stayed
// still for the teacher's time (ten seconds unless the settings say otherwise) gives a right click.
#pragma once

#include <cstdint>

#include "common/board_point.h"
#include "common/pen_event.h"
#include "platform/clock.h"
#include "platform/key_output.h"
#include "platform/platform_types.h"
#include "platform/pointer_output.h"
#include "platform/time_stamp.h"

namespace velno {

enum class HoldState : std::int32_t { Idle = 0, Anchored = 1, Timing = 2, Busy = 3, Armed = 4 };

// One board's hold, kept per board so that two boards' pens never restart each other's hold.
struct HoldTracking {
  HoldState state = HoldState::Idle;
  std::int32_t anchorX = 0;  // smoothed position where the hold began, board units
  std::int32_t anchorY = 0;
  TimeStamp startStamp{};
  TimeStamp currentStamp{};
  CursorHandle previousCursor = CursorHandle::None;  // what the busy cursor replaced
};

inline constexpr std::int64_t kHoldStillSquared = 200;  // strictly less: a radius of about 14 units
inline constexpr std::int32_t kBusyCursorMilliseconds = 600;

// Called for every pen report that becomes pointer input, with the smoothed position, before the
// pointer event is injected. The busy cursor goes through the pointer, the right click through the keys'
// prepared input; a lift gives it once the pen stayed still for `rightClickAfterMs`.
void TrackHold(Clock& clock, PointerOutput& pointer, KeyOutput& keys, HoldTracking& hold, BoardPoint smoothed,
               PenEvent event, std::int32_t rightClickAfterMs);

// Ends a hold without its right click, the cursor as it was before the hold.
void CancelHold(PointerOutput& pointer, HoldTracking& hold);

}  // namespace velno
