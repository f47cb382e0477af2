#include "calibration/run_watch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_velno.h"
#include "fake_platform.h"

namespace velno {
namespace {

// What happens at a step, before the watch checks.
enum class Happens { Nothing, ToolStarts, ToolGone, ButtonToolStarts, ButtonToolGone, PointRunStarts, ButtonRunStarts, NextIndex };

// At a time something happens, then the watch checks (at most every 250 ms): the runs left active.
struct Step {
  std::uint64_t atMs;
  Happens what;
  bool pointActive;
  bool buttonActive;
};

using enum Happens;
const std::vector<std::vector<Step>> kStories = {
    // A run ends at the first check after the program driving it has gone, and only that run.
    {{0, ToolStarts, false, false}, {300, PointRunStarts, true, false}, {600, ButtonRunStarts, true, true},
     {900, ToolGone, false, true}},
    {{0, ButtonToolStarts, false, false}, {300, ButtonRunStarts, false, true}, {600, PointRunStarts, true, true},
     {900, ButtonToolGone, true, false}},
    // A run driven through the library without a run event keeps going while its index moves.
    {{0, PointRunStarts, true, false}, {59000, NextIndex, true, false}, {118000, NextIndex, true, false},
     {177000, Nothing, true, false}},
    // Any run left alone ends after 60 s.
    {{0, PointRunStarts, true, false}, {30000, ButtonRunStarts, true, true}, {59750, Nothing, true, true},
     {60000, Nothing, false, true}, {90000, Nothing, false, false}},
    // A run begun after one ended is watched afresh: its tool's start counts, not the last one's end.
    {{0, ToolStarts, false, false}, {300, PointRunStarts, true, false}, {900, ToolGone, false, false},
     {1200, PointRunStarts, true, false}, {1500, ToolStarts, true, false}, {2000, Nothing, true, false}},
};

TEST(RunWatch, RunsEndWhenTheirToolHasGoneOrAfterAMinuteWithoutProgress) {
  for (std::size_t story = 0; story < kStories.size(); ++story) {
    testing::ResetFakeVelno();
    const SharedState sharedState = testing::FakeSharedState();
    testing::FakeClock clock;
    testing::FakeToolPresence tool;
    RunWatch watch;
    for (const Step& step : kStories[story]) {
      clock.nowMs = step.atMs;
      switch (step.what) {
        case ToolStarts: tool.pointTool = true; break;
        case ToolGone: tool.pointTool = false; break;
        case ButtonToolStarts: tool.buttonTool = true; break;
        case ButtonToolGone: tool.buttonTool = false; break;
        case PointRunStarts: sharedState.StartAdjust(); break;
        case ButtonRunStarts: sharedState.StartButtonAdjust(); break;
        case NextIndex: sharedState.SetAdjustCurrentIndex(sharedState.GetAdjustCurrentIndex() + 1); break;
        case Nothing: break;
      }
      WatchRuns(clock, tool, sharedState, watch);
      const std::string where = "story " + std::to_string(story) + " at " + std::to_string(step.atMs) + " ms";
      EXPECT_EQ(sharedState.IsAdjusting() != 0, step.pointActive) << where;
      EXPECT_EQ(sharedState.IsButtonAdjusting() != 0, step.buttonActive) << where;
    }
  }
}

}  // namespace
}  // namespace velno
