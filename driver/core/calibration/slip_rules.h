// Which measurements of a calibration pass are slips (a second touch on the previous target, a touch on
// a target already done, a touch on the wrong side of the grid): the driver does not acknowledge them, so
// the target stays red and the teacher lifts the pen and touches again.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>

#include "common/board_point.h"
#include "calibration/calibration_block.h"

namespace velno {

// points[p] is the measured board position of target p + 1 wherever measured[p] is set. Returns true when
// `measurement`, taken for target `target` (1-based) of a grid of pointCount points, lies closer than a
// quarter of the grid spacing to a point already measured, or on the wrong side of one in its row or
// column. A count that makes no grid has no rules: nothing is a slip.
bool IsSlip(std::uint32_t pointCount, const std::array<BoardPoint, kMaxPoints>& points,
            const std::bitset<kMaxPoints>& measured, std::int32_t target, BoardPoint measurement);

}  // namespace velno
