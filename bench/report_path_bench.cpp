// Cost of one pen report through the whole report path, over a long stroke.
#include <benchmark/benchmark.h>

#include <vector>

#include "board_reports.h"
#include "driver.h"
#include "fake_platform.h"
#include "fake_velno.h"
#include "report_path.h"

namespace velno {
namespace {

// Counts instead of recording, so that the loop allocates nothing.
class CountingPointer : public testing::RecordingOutput {
 public:
  void InjectMouse(std::uint32_t flags, std::int32_t x, std::int32_t y) override {
    checksum += flags + static_cast<std::uint32_t>(x) + static_cast<std::uint32_t>(y);
  }
  std::uint32_t checksum = 0;
};

// A stroke of 10 000 reports wandering over the board, then the pen lifted.
std::vector<BoardReport> LongStroke() {
  std::vector<BoardReport> stroke;
  for (int i = 0; i < 10000; ++i) {
    stroke.push_back(testing::PenDown(1000 + (i * 7) % 30000, 2000 + (i * 13) % 28000));
  }
  stroke.push_back(testing::PenUp(1000, 2000));
  return stroke;
}

void BM_ReportPathLongStroke(benchmark::State& state) {
  testing::ResetFakeVelno();
  testing::FakePlatform platform;
  CountingPointer pointer;
  DriverPlatform roles = platform.Roles();
  Driver driver({roles.library, roles.stop, roles.ports, roles.threads, roles.clock, pointer, roles.keys, roles.programs,
                 roles.settings, roles.displays, roles.log, roles.tool});
  driver.sharedState = testing::FakeSharedState();
  const std::vector<BoardReport> stroke = LongStroke();
  for (auto _ : state) {
    for (const BoardReport& r : stroke) {
      HandleReport(driver.reportPath, driver.boards[0], r);
    }
  }
  benchmark::DoNotOptimize(pointer.checksum);
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(stroke.size()));
  state.counters["ns_per_report"] = benchmark::Counter(
      static_cast<double>(state.iterations() * stroke.size()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ReportPathLongStroke)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace velno
