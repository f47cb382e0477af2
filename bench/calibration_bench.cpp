// Cost of mapping one pen report and of solving a whole calibration.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <random>

#include "calibration/calibration_grid.h"
#include "calibration/projective_mapping.h"

namespace velno {
namespace {

// A calibrated board whose raw points are the default targets scaled into board units and jittered,
// so every cell has its own projective part.
CalibrationBlock JitteredCalibration(std::uint32_t pointCount) {
  std::mt19937 random(1234);
  std::uniform_int_distribution<std::int32_t> jitter(-800, 800);
  CalibrationBlock ctx;
  ctx.adjustType = pointCount;
  LayoutGrid(ctx);
  for (std::uint32_t p = 0; p < pointCount; ++p) {
    ctx.rawPoints[p] = {ctx.targetPoints[p].x * 4 / 10 + 2000 + jitter(random),
                        ctx.targetPoints[p].y * 4 / 10 + 2000 + jitter(random)};
  }
  ctx.calibrated = true;
  SolveCellTransforms(ctx);
  return ctx;
}

void BM_MapPoint(benchmark::State& state) {
  const CalibrationBlock ctx = JitteredCalibration(static_cast<std::uint32_t>(state.range(0)));
  std::mt19937 random(99);
  std::uniform_int_distribution<std::int32_t> unit(0, 32767);
  std::array<BoardPoint, 1024> positions;
  for (BoardPoint& position : positions) position = {unit(random), unit(random)};
  std::size_t i = 0;
  for (auto _ : state) {
    const BoardPoint& position = positions[i++ & (positions.size() - 1)];
    benchmark::DoNotOptimize(MapPoint(ctx, position.x, position.y));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MapPoint)->Arg(4)->Arg(9)->Arg(16)->Arg(25);

void BM_SolveCellTransforms(benchmark::State& state) {
  CalibrationBlock ctx = JitteredCalibration(static_cast<std::uint32_t>(state.range(0)));
  for (auto _ : state) {
    ctx.calibrated = true;
    SolveCellTransforms(ctx);
    benchmark::DoNotOptimize(ctx.cellCoefficients);
  }
}
BENCHMARK(BM_SolveCellTransforms)->Arg(4)->Arg(9)->Arg(16)->Arg(25)->Unit(benchmark::kMicrosecond);

void BM_Determinant8(benchmark::State& state) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> entry(-30000.0, 30000.0);
  Matrix8 source;
  for (double& value : source) value = entry(random);
  Matrix8 work;
  for (auto _ : state) {
    CopyMatrix8(source, work);
    benchmark::DoNotOptimize(Determinant8(work));
  }
}
BENCHMARK(BM_Determinant8);

}  // namespace
}  // namespace velno
