#include "calibration/slip_rules.h"

namespace velno {
namespace {

// The first point (0-based) taken whose leaving out makes the rest fit with the measurement refused twice;
// point 0 when no single point does (then the pass starts again).
std::int32_t FirstSlip(const GridShape& shape, const PassPoints& with, std::int32_t refused) {
  for (std::int32_t q = 0; q < static_cast<std::int32_t>(shape.pointCount); ++q) {
    if (q == refused || !with.measured[q]) continue;
    PassPoints without = with;
    without.measured.reset(q);
    if (FitsGrid(shape, without)) return q;
  }
  return 0;
}

}  // namespace

void BeginPass(CalibrationPass& pass) {
  pass.taken.measured.reset();
  pass.refusedTarget = 0;
}

PassAnswer JudgeMeasurement(std::uint32_t pointCount, CalibrationPass& pass, std::int32_t target,
                            BoardPoint measurement) {
  const std::int32_t p = target - 1;
  // A target measured again replaces its own point.
  PassPoints with = pass.taken;
  with.points[p] = measurement;
  with.measured.set(p);
  const GridShape* shape = FindGridShape(pointCount);
  if (shape == nullptr || FitsGrid(*shape, with)) {
    pass.taken = with;
    pass.refusedTarget = 0;
    return {PassStep::Take};
  }
  const bool insisted = pass.refusedTarget == target && SamePlace(*shape, pass.taken, pass.refusedAt, measurement);
  if (!insisted) {
    pass.refusedTarget = target;
    pass.refusedAt = measurement;
    return {PassStep::Refuse};
  }
  const std::int32_t slip = FirstSlip(*shape, with, p);
  for (std::int32_t q = slip; q < kMaxPoints; ++q) pass.taken.measured.reset(q);
  pass.refusedTarget = 0;
  return {PassStep::AskAgain, slip + 1};
}

}  // namespace velno
