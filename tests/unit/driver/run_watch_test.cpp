#include "calibration/run_watch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_velno.h"
#include "recording_platform.h"

namespace velno {
namespace {

// At a time something happens (t tool starts, g tool gone, p point run starts, b button run starts, i next
// index, a acknowledgement, - nothing), then the watch checks (at most every 250 ms): the runs left active.
struct Step {
  std::uint64_t atMs;
  char action;
  bool pointActive;
  bool buttonActive;
};

const std::vector<std::vector<Step>> kStories = {
    // The tool's runs end at the first check after the tool has gone.
    {{0, 't', false, false}, {300, 'p', true, false}, {600, 'b', true, true}, {900, 'g', false, false}},
    // A run driven through the library without a tool keeps going while its index moves.
    {{0, 'p', true, false}, {59000, 'i', true, false}, {118000, 'i', true, false}, {177000, '-', true, false}},
    // Any run left alone ends after 60 s.
    {{0, 'p', true, false}, {30000, 'b', true, true}, {59750, '-', true, true}, {60000, '-', false, true},
     {90000, '-', false, false}},
    // An acknowledgement racing with the end marks the run active again: it ends at once. A run begun
    // later is watched afresh.
    {{0, 't', false, false}, {300, 'p', true, false}, {900, 'g', false, false}, {905, 'a', true, false},
     {1200, '-', false, false}, {1500, 'p', true, false}, {2000, '-', true, false}},
};

TEST(RunWatch, RunsEndWhenTheirToolHasGoneOrAfterAMinuteWithoutProgress) {
  for (std::size_t story = 0; story < kStories.size(); ++story) {
    testing::ResetFakeVelno();
    const SharedState sharedState = testing::FakeSharedState();
    testing::RecordingPlatform platform;
    RunWatch watch;
    for (const Step& step : kStories[story]) {
      platform.nowMs = step.atMs;
      switch (step.action) {
        case 't': platform.toolRunning = true; break;
        case 'g': platform.toolRunning = false; break;
        case 'p': sharedState.StartAdjust(); break;
        case 'b': sharedState.StartButtonAdjust(); break;
        case 'i': sharedState.SetAdjustCurrentIndex(sharedState.GetAdjustCurrentIndex() + 1); break;
        case 'a': sharedState.SetAdjustCurrentIndex(0); break;
      }
      WatchRuns(platform, sharedState, watch);
      const std::string where = "story " + std::to_string(story) + " at " + std::to_string(step.atMs) + " ms";
      EXPECT_EQ(sharedState.IsAdjusting() != 0, step.pointActive) << where;
      EXPECT_EQ(sharedState.IsButtonAdjusting() != 0, step.buttonActive) << where;
    }
  }
}

}  // namespace
}  // namespace velno
