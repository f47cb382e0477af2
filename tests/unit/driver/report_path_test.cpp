#include "report_path.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <vector>

#include "board_reports.h"
#include "driver.h"
#include "fake_velno.h"
#include "fake_platform.h"

namespace velno {
namespace {

using testing::MouseCall;
using testing::PenDown;
using testing::PenUp;

class ReportPath : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::ResetFakeVelno();
    driver.sharedState = testing::FakeSharedState();
  }

  void Feed(const BoardReport& r) { HandleReport(driver.reportPath, board, r); }

  testing::FakePlatform platform;
  Driver driver{platform.Roles()};
  BoardContext& board = driver.boards[0];
};

TEST(BoardReportDecoding, YComesFirstAndTheLowestBitIsDropped) {
  const BoardReport r{0xFA, 0x12, 0x34, 0x56, 0x78, 0xF2};
  ASSERT_TRUE(IsValidReport(r));
  const PenPosition p = DecodePenPosition(r);
  EXPECT_EQ(p.y, 2330);
  EXPECT_EQ(p.x, 11068);
  EXPECT_EQ(testing::PenDown(11068, 2330), r);
}

TEST(BoardReportDecoding, LeadBytes) {
  int leads = 0;
  for (int b = 0; b < 256; ++b) leads += IsLeadByte(static_cast<std::uint8_t>(b)) ? 1 : 0;
  EXPECT_EQ(leads, 34);
  EXPECT_TRUE(IsButtonPressLead(0xB0));
  EXPECT_FALSE(IsLeadByte(0xB1));
  EXPECT_TRUE(IsButtonReleaseLead(0xC1));
  EXPECT_FALSE(IsLeadByte(0xD1));
  EXPECT_FALSE(IsValidReport({0xFA, 0x12, 0x34, 0x56, 0x78, 0xF3}));
}

TEST_F(ReportPath, StrokeFromPenUpDropsTheFirstReportThenPressesMovesAndReleases) {
  Feed(PenDown(100, 200));  // warm-up: dropped
  EXPECT_TRUE(platform.output.mouse.empty());
  Feed(PenDown(110, 210));
  Feed(PenDown(121, 221));
  Feed(PenUp(130, 230));

  const std::vector<MouseCall> expected = {
      {0x8003, 110 * 16, 210 * 16},                                    // one-sample mean
      {0x8001, (110 + 121) / 2 * 16, (210 + 221) / 2 * 16},            // two-sample mean, truncated
      {0x8005, (110 + 121 + 130) / 3 * 16, (210 + 221 + 230) / 3 * 16}, // the release's own sample counts
  };
  EXPECT_EQ(platform.output.mouse, expected);

  // The release emptied the window: the next stroke drops its first report and presses at its second.
  Feed(PenDown(5000, 6000));
  Feed(PenDown(5010, 6010));
  EXPECT_EQ(platform.output.mouse.back(), (MouseCall{0x8003, 5010 * 16, 6010 * 16}));
}

TEST_F(ReportPath, FromTheSixthSampleOnTheOutputIsTheMeanOfTheLastSix) {
  Feed(PenDown(0, 0));  // warm-up
  for (int i = 1; i <= 8; ++i) Feed(PenDown(i * 60, 1000 + i));
  ASSERT_EQ(platform.output.mouse.size(), 8u);
  // Sixth sample: mean of samples 1..6; seventh: 2..7; eighth: 3..8 (the first sample has left).
  EXPECT_EQ(platform.output.mouse[5].x, (60 + 120 + 180 + 240 + 300 + 360) / 6 * 16);
  EXPECT_EQ(platform.output.mouse[6].x, (120 + 180 + 240 + 300 + 360 + 420) / 6 * 16);
  EXPECT_EQ(platform.output.mouse[7].x, (180 + 240 + 300 + 360 + 420 + 480) / 6 * 16);
  EXPECT_EQ(platform.output.mouse[7].y, (1003 + 1004 + 1005 + 1006 + 1007 + 1008) / 6 * 16);
}

TEST_F(ReportPath, TheRingWrapsAfterFiftySamplesWithoutDisturbingTheSums) {
  Feed(PenDown(0, 0));
  for (int i = 1; i <= 130; ++i) Feed(PenDown(1000 + i, 2000 - i));
  EXPECT_EQ(platform.output.mouse.back().x, (1125 + 1126 + 1127 + 1128 + 1129 + 1130) / 6 * 16);
  EXPECT_EQ(platform.output.mouse.back().y, (1875 + 1874 + 1873 + 1872 + 1871 + 1870) / 6 * 16);
}

TEST_F(ReportPath, LiftedPenReportsInjectNothingAndRestartTheWarmUp) {
  Feed(PenDown(50, 50));  // warm-up count becomes 1
  Feed(PenUp(50, 50));    // pen already up: smoothing and warm-up reset
  Feed(PenDown(60, 60));  // dropped again
  EXPECT_TRUE(platform.output.mouse.empty());
  Feed(PenDown(70, 70));
  EXPECT_EQ(platform.output.mouse, (std::vector<MouseCall>{{0x8003, 70 * 16, 70 * 16}}));
}

TEST_F(ReportPath, ExtendedScreenOffsetsOneAxisByOneScreen) {
  struct Case {
    std::int32_t flag, x, y;
  };
  for (const Case c : {Case{0, 1600, 3200}, Case{1, 67136, 3200}, Case{2, 1600, 68736}, Case{260, 1600, 3200}}) {
    SCOPED_TRACE(c.flag);
    platform.output.mouse.clear();
    board.calibration.extendScreenFlag = c.flag;
    Feed(PenDown(100, 200));
    Feed(PenDown(100, 200));
    Feed(PenUp(100, 200));
    ASSERT_EQ(platform.output.mouse.size(), 2u);
    EXPECT_EQ(platform.output.mouse[0], (MouseCall{0x8003, c.x, c.y}));
    EXPECT_EQ(platform.output.mouse[1], (MouseCall{0x8005, c.x, c.y}));
  }
}

// A pen session step by step. A report step names the pen phase its last report leaves.
enum class StepKind { PenDown, PenUp, PointRunStarts, ButtonRunStarts, RunEnds, ClockAt, TouchButtonPlaced };

struct SessionStep {
  StepKind kind;
  std::int32_t x = 0;  // a report's position, or the clock's milliseconds
  std::int32_t y = 0;
  int n = 1;  // pen-down reports at the same place
  std::optional<PenPhase> after;
};

SessionStep Down(std::int32_t x, std::int32_t y, int n, PenPhase after) { return {StepKind::PenDown, x, y, n, after}; }
SessionStep Up(std::int32_t x, std::int32_t y, PenPhase after) { return {StepKind::PenUp, x, y, 1, after}; }
SessionStep Just(StepKind kind, std::int32_t x = 0) { return {kind, x, 0, 1, std::nullopt}; }
SessionStep ClockAt(std::int32_t ms) { return Just(StepKind::ClockAt, ms); }
const SessionStep kPointRunStarts = Just(StepKind::PointRunStarts);
const SessionStep kButtonRunStarts = Just(StepKind::ButtonRunStarts);
const SessionStep kRunEnds = Just(StepKind::RunEnds);
const SessionStep kTouchButtonAt1000 = Just(StepKind::TouchButtonPlaced);  // a touch button at (1000, 1000)

struct PhaseSession {
  const char* name;  // the transitions it goes through
  std::vector<SessionStep> steps;
  std::vector<MouseCall> expected;  // every pointer call of the session
  std::size_t cursorsRestored;
};

// Every session ends with a fresh stroke at (100, 200): its first report is dropped, the second presses at
// its own position, the release follows there (uncalibrated: times 16).
const std::vector<SessionStep> kFreshStroke = {Down(100, 200, 1, PenPhase::WarmingUp),
                                               Down(100, 200, 1, PenPhase::Down), Up(100, 200, PenPhase::Lifted)};
const MouseCall kFreshPress{0x8003, 1600, 3200};
const MouseCall kFreshRelease{0x8005, 1600, 3200};

std::vector<SessionStep> Then(std::vector<SessionStep> steps, const std::vector<SessionStep>& more) {
  steps.insert(steps.end(), more.begin(), more.end());
  return steps;
}

const PhaseSession kPhaseSessions[] = {
    {"lifted stays lifted on pen-up; warming up lifts on pen-up without a release",
     Then({Up(50, 50, PenPhase::Lifted), Down(50, 50, 1, PenPhase::WarmingUp), Up(50, 50, PenPhase::Lifted)},
          kFreshStroke),
     {kFreshPress, kFreshRelease}, 0},
    {"down is released when a point run takes the pen; the lift in the run ends it lifted",
     Then({Down(10, 20, 2, PenPhase::Down), kPointRunStarts, Down(30000, 30000, 1, PenPhase::RunDown),
           Up(30000, 30000, PenPhase::RunLifted), kRunEnds},
          kFreshStroke),
     {{0x8003, 160, 320}, {0x8005, 160, 320}, kFreshPress, kFreshRelease}, 0},
    {"down is released when a button run takes the pen",
     Then({Down(10, 20, 2, PenPhase::Down), kButtonRunStarts, Up(30000, 30000, PenPhase::RunLifted), kRunEnds}, kFreshStroke),
     {{0x8003, 160, 320}, {0x8005, 160, 320}, kFreshPress, kFreshRelease}, 0},
    {"warming up when a run takes the pen: nothing to release",
     Then({Down(10, 20, 1, PenPhase::WarmingUp), kPointRunStarts, Down(10, 20, 1, PenPhase::RunDown),
           Up(10, 20, PenPhase::RunLifted), kRunEnds},
          kFreshStroke),
     {kFreshPress, kFreshRelease}, 0},
    {"a busy stroke held through a whole run awaits its lift",
     Then({Down(10, 20, 3, PenPhase::Down), ClockAt(700), Down(10, 20, 1, PenPhase::Down), kPointRunStarts,
           Down(10, 20, 5, PenPhase::RunDown), kRunEnds, Down(10, 20, 5, PenPhase::AwaitingLift),
           Up(10, 20, PenPhase::Lifted)},
          kFreshStroke),
     {{0x8003, 160, 320}, {0x8001, 160, 320}, {0x8001, 160, 320}, {0x8005, 160, 320}, kFreshPress,
      kFreshRelease},
     1},
    {"down on a touch button when a run takes the pen: no release",
     Then({kTouchButtonAt1000, Down(1000, 1000, 4, PenPhase::Down), kPointRunStarts, Up(1000, 1000, PenPhase::RunLifted), kRunEnds},
          kFreshStroke),
     {kFreshPress, kFreshRelease}, 0},
    // The run ends while the pen still rests on the last target, the capture's sums half full.
    {"a touch begun during a run awaits its lift, which releases nothing",
     Then({kPointRunStarts, Down(30000, 30000, 6, PenPhase::RunDown), kRunEnds, Down(30000, 30000, 4, PenPhase::AwaitingLift),
           Up(30000, 30000, PenPhase::Lifted)},
          kFreshStroke),
     {kFreshPress, kFreshRelease}, 0},
};

TEST_F(ReportPath, PenPhaseTransitionsAroundStrokesAndCaptureRuns) {
  for (const PhaseSession& c : kPhaseSessions) {
    SCOPED_TRACE(c.name);
    testing::ResetFakeVelno();
    platform.output.mouse.clear();
    platform.output.restoredCursors.clear();
    platform.clock.nowMs = 0;
    board = BoardContext{};
    for (std::size_t s = 0; s < c.steps.size(); ++s) {
      const SessionStep& step = c.steps[s];
      switch (step.kind) {
        case StepKind::PenDown: for (int i = 0; i < step.n; ++i) Feed(PenDown(step.x, step.y)); break;
        case StepKind::PenUp: Feed(PenUp(step.x, step.y)); break;
        case StepKind::PointRunStarts: driver.sharedState.StartAdjust(); break;
        case StepKind::ButtonRunStarts: driver.sharedState.StartButtonAdjust(); break;
        case StepKind::RunEnds: driver.sharedState.StopAdjust(); driver.sharedState.StopButtonAdjust(); break;
        case StepKind::ClockAt: platform.clock.nowMs = static_cast<std::uint64_t>(step.x); break;
        case StepKind::TouchButtonPlaced:
          board.calibration.touchButtons.positions[0] = {1000, 1000};
          board.calibration.touchButtons.count = 1;
          break;
      }
      if (step.after) { EXPECT_EQ(board.pointer.phase, *step.after) << "after step " << s; }
    }
    EXPECT_EQ(platform.output.mouse, c.expected);
    EXPECT_EQ(platform.output.restoredCursors.size(), c.cursorsRestored);
  }
}

TEST_F(ReportPath, PendingGestureThresholdsAreAcknowledgedAndTheReportGoesOn) {
  testing::FakeVelnoBlock().gestureAdjusting = 1;
  Feed(PenDown(1, 1));
  Feed(PenDown(1, 1));
  EXPECT_EQ(testing::FakeVelnoBlock().gestureAdjusting, 0);
  EXPECT_EQ(platform.output.mouse.size(), 1u);
}

TEST_F(ReportPath, OnlyLeadBytesReachThePenPath) {
  Feed(PenDown(5, 5));  // the warm-up
  for (int b = 0; b < 256; ++b) {
    BoardReport r = PenDown(500, 500);
    r[0] = static_cast<std::uint8_t>(b);
    if (IsPenLead(r[0])) continue;
    Feed(r);
  }
  EXPECT_TRUE(platform.output.mouse.empty());
  // None of them was a sample: the next pen report presses with itself as the only one.
  Feed(PenDown(600, 700));
  EXPECT_EQ(platform.output.mouse, (std::vector<MouseCall>{{0x8003, 600 * 16, 700 * 16}}));
}

// Any stream of reports, whatever their lead bytes and positions, keeps the smoothing within its
// window and ring, and empty unless the pen is down, and every injected position within the
// uncalibrated screen range.
TEST_F(ReportPath, RandomReportsKeepTheInvariants) {
  std::mt19937 rng(20261208);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<int> pick(0, 9);
  for (int i = 0; i < 200000; ++i) {
    BoardReport r;
    for (auto& b : r) b = static_cast<std::uint8_t>(byte(rng));
    // Mostly pen reports, so that strokes of every length occur.
    const int p = pick(rng);
    if (p < 6) r[0] = kPenDownLead;
    else if (p < 8) r[0] = kPenUpLead;
    Feed(r);
    ASSERT_GE(board.smoothing.sampleCount, 0);
    ASSERT_LE(board.smoothing.sampleCount, kSmoothingWindow);
    ASSERT_GE(board.smoothing.ringPos, 0);
    ASSERT_LT(board.smoothing.ringPos, kSmoothingRingSize);
    if (board.pointer.phase != PenPhase::Down) { ASSERT_EQ(board.smoothing.sampleCount, 0); }
  }
  for (const MouseCall& m : platform.output.mouse) {
    ASSERT_GE(m.x, 0);
    ASSERT_LE(m.x, 32767 * 16);
    ASSERT_GE(m.y, 0);
    ASSERT_LE(m.y, 32767 * 16);
  }
  EXPECT_GT(platform.output.mouse.size(), 1000u);
}

}  // namespace
}  // namespace velno
