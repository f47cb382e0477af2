// Whether the points measured so far in a calibration pass can be the grid's targets as the board sees
// them. A board's picture is a projective image of the screen (a projector's keystone, the board turned a
// little or by a right angle, mirrored, any aspect of picture and board), so rows and columns stay lines
// in their order and cells stay convex; a slip (a target touched twice, a later target, a palm, a touch
// between targets or on the wrong side) breaks one of these sooner or later.
#pragma once

#include <array>
#include <bitset>

#include "board_facts.h"
#include "calibration/calibration_block.h"
#include "common/board_point.h"

namespace velno {

// The points of one pass: entry p is target p + 1's measured board position wherever measured[p] is set.
struct PassPoints {
  std::array<BoardPoint, kMaxPoints> points{};
  std::bitset<kMaxPoints> measured;
};

// True when the measured points can be targets of `shape` on a board mounted with a keystone down to 0.6,
// turned up to 10 degrees or by a right angle, mirrored, for any picture aspect:
// - no two lie within a quarter of the grid's step along both board axes (the step measured along each);
// - along each row and column they come in the order of their targets, in a line;
// - no step between neighbouring targets is longer than the board leaves room for;
// - every cell measured whole is convex, turned as the others, and no edge is under half the opposite one;
// - each lies within 0.3 of a step, along both grid axes, of where the projective map fitted to the
//   others puts it, once the others fix one.
bool FitsGrid(const GridShape& shape, const PassPoints& pass);

// True when two positions lie within a quarter of the pass's grid step along both board axes: one target
// touched twice.
bool SamePlace(const GridShape& shape, const PassPoints& pass, BoardPoint a, BoardPoint b);

}  // namespace velno
