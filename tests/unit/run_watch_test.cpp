#include "run_watch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_velno.h"
#include "recording_platform.h"

namespace velno {
namespace {

// One step of a story: at a time, something happens, then the watch checks (at most every 250 ms); the
// runs it leaves active.
struct Step {
  std::uint64_t atMs;
  char action;  // t tool starts, g tool gone, p point run starts, b button run starts, i next index, a acknowledge, - nothing
  bool pointActive;
  bool buttonActive;
};

struct Story {
  const char* what;
  std::vector<Step> steps;
};

const Story kStories[] = {
    {"a tool's run ends at the first check after the tool has gone",
     {{0, 't', false, false}, {300, 'p', true, false}, {600, 'i', true, false}, {900, 'g', false, false}}},
    {"a tool's touch-button run ends the same way",
     {{0, 't', false, false}, {300, 'b', false, true}, {900, 'g', false, false}}},
    {"a run driven through the library without a tool keeps going while its index moves",
     {{0, 'p', true, false}, {59000, 'i', true, false}, {118000, 'i', true, false}, {177000, '-', true, false}}},
    {"a run left alone ends after 60 s, whoever drives it",
     {{0, 'p', true, false}, {30000, 'b', true, true}, {59750, '-', true, true}, {60000, '-', false, true},
      {90000, '-', false, false}}},
    {"an acknowledgement that races with the end marks the run active again: it ends at once",
     {{0, 't', false, false}, {300, 'p', true, false}, {900, 'g', false, false}, {905, 'a', true, false},
      {1200, '-', false, false}}},
    {"a run that begins after the tool's run ended is watched afresh",
     {{0, 't', false, false}, {300, 'p', true, false}, {900, 'g', false, false}, {1500, 'p', true, false},
      {2000, '-', true, false}}},
};

TEST(RunWatch, RunsEndWhenTheirToolHasGoneOrAfterAMinuteWithoutProgress) {
  for (const Story& story : kStories) {
    testing::ResetFakeVelno();
    const VelnoLibrary velno = testing::FakeVelnoLibrary();
    testing::RecordingPlatform platform;
    RunWatch watch;
    for (const Step& step : story.steps) {
      platform.nowMs = step.atMs;
      switch (step.action) {
        case 't': platform.toolRunning = true; break;
        case 'g': platform.toolRunning = false; break;
        case 'p': velno.StartAdjust(); break;
        case 'b': velno.StartButtonAdjust(); break;
        case 'i': velno.SetAdjustCurrentIndex(velno.GetAdjustCurrentIndex() + 1); break;
        case 'a': velno.SetAdjustCurrentIndex(0); break;
      }
      WatchRuns(platform, velno, watch);
      const std::string where = std::string(story.what) + ", at " + std::to_string(step.atMs) + " ms";
      EXPECT_EQ(velno.IsAdjusting() != 0, step.pointActive) << where;
      EXPECT_EQ(velno.IsButtonAdjusting() != 0, step.buttonActive) << where;
    }
  }
}

}  // namespace
}  // namespace velno
