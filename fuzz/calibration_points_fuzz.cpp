// Raw calibration points of every count, any int32 values, through the layout, the solve and the
// mapping. Invariants: an unsupported count leaves the calibration uncalibrated; a solved calibration has
// finite coefficients and carries each cell's corners onto their targets; every position maps through
// a cell that exists.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "calibration/calibration_grid.h"
#include "fuzz_driver.h"
#include "calibration/projective_mapping.h"

namespace velno::fuzz {
namespace {

constexpr std::uint32_t kCounts[] = {4, 6, 9, 12, 16, 20, 25};

std::uint32_t PointCount(FuzzedDataProvider& in) {
  return in.ConsumeBool() ? kCounts[in.ConsumeIntegralInRange<std::size_t>(0, 6)] : in.ConsumeIntegral<std::uint32_t>();
}

// Board positions most of the time, so that real grids with small faults are well covered.
std::int32_t Coordinate(FuzzedDataProvider& in) {
  return in.ConsumeIntegralInRange(0, 3) == 0 ? in.ConsumeIntegral<std::int32_t>() : in.ConsumeIntegralInRange(0, 32767);
}

void CheckCornersMapOntoTargets(const CalibrationBlock& calibration) {
  for (std::int32_t q = 0; q < calibration.cellCount; ++q) {
    const CellCorners c = GetCellCorners(calibration, q);
    for (int k = 0; k < 4; ++k) {
      const double u = c.rawX[k], v = c.rawY[k];
      const auto& t = calibration.cellCoefficients;
      const double denominator = u * t[6][q] + v * t[7][q] + 1;
      VELNO_FUZZ_CHECK(std::fabs((u * t[0][q] + v * t[1][q] + t[2][q]) / denominator - c.targetX[k]) <= 2.0);
      VELNO_FUZZ_CHECK(std::fabs((u * t[3][q] + v * t[4][q] + t[5][q]) / denominator - c.targetY[k]) <= 2.0);
    }
  }
}

}  // namespace
}  // namespace velno::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velno;
  FuzzedDataProvider in(data, size);
  CalibrationBlock calibration;
  calibration.adjustType = fuzz::PointCount(in);
  const bool laidOut = LayoutGrid(calibration) == 0;
  for (BoardPoint& point : calibration.rawPoints) point = {fuzz::Coordinate(in), fuzz::Coordinate(in)};
  // As loading and capturing do: only a grid that was laid out is taken as calibrated.
  calibration.calibrated = laidOut;
  SolveCellTransforms(calibration);
  if (!laidOut) VELNO_FUZZ_CHECK(!calibration.calibrated);
  fuzz::CheckCalibration(calibration);
  if (!calibration.calibrated) return 0;

  fuzz::CheckCornersMapOntoTargets(calibration);
  while (in.remaining_bytes() > 0) {
    const std::int32_t x = fuzz::Coordinate(in), y = fuzz::Coordinate(in);
    const std::int32_t q = FindNearestCell(calibration, x, y);
    VELNO_FUZZ_CHECK(q >= 0 && q < calibration.cellCount);
    MapPoint(calibration, x, y);
  }
  return 0;
}
