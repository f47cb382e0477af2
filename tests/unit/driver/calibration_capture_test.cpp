#include "calibration/calibration_capture.h"

#include <gtest/gtest.h>

#include "board_reports.h"
#include "driver.h"
#include "calibration/calibration_grid.h"
#include "fake_velno.h"
#include "calibration/projective_mapping.h"
#include "fake_platform.h"
#include "report_path.h"
#include "calibration/settings_file.h"

namespace velno {
namespace {

class Capture : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::ResetFakeVelno();
    driver.sharedState = testing::FakeSharedState();
  }

  SharedBlock& block() { return testing::FakeVelnoBlock(); }

  void StartPointRun(std::int32_t adjustType) {
    driver.sharedState.SetAdjustType(adjustType);
    driver.sharedState.StartAdjust();
  }
  // Reports take the driver's whole way: while a run is on, it hands them to the capture.
  void Feed(const BoardReport& r) { HandleReport(driver.reportPath, board, r); }
  void Down(std::int32_t x, std::int32_t y) { Feed(testing::PenDown(x, y)); }
  void Up(std::int32_t x, std::int32_t y) { Feed(testing::PenUp(x, y)); }
  std::int32_t Index() { return driver.sharedState.GetAdjustCurrentIndex(); }

  // Pen down at p, then ten steady reports jittering around it, then pen up: one measurement of p.
  void Touch(BoardPoint p) {
    Down(p.x + 40, p.y - 40);
    for (int i = 0; i < kSamplesPerMeasurement; ++i) Down(p.x + (i % 2) * 2 - 1, p.y + 1 - (i % 2) * 2);
    Up(p.x, p.y);
  }

  testing::FakePlatform platform;
  Driver driver{platform.Roles()};
  BoardContext& board = driver.boards[0];
};

TEST_F(Capture, TenSteadyReportsAfterThePenDownStoreTheirMeanAndAcknowledge) {
  StartPointRun(9);
  driver.sharedState.SetAdjustCurrentIndex(3);
  Down(5000, 5000);  // the anchor, not summed
  // Up to 73 units off on both axes counts as steady.
  const BoardPoint samples[10] = {{5073, 4927}, {4927, 5073}, {5000, 5000}, {5010, 5020}, {5001, 4999},
                                  {5050, 5050}, {4950, 4950}, {5000, 5073}, {5073, 5000}, {5002, 5003}};
  std::int32_t sumX = 0;
  std::int32_t sumY = 0;
  for (int i = 0; i < 9; ++i) {
    Down(samples[i].x, samples[i].y);
    sumX += samples[i].x;
    sumY += samples[i].y;
  }
  EXPECT_EQ(Index(), 3);
  EXPECT_EQ(driver.capture.pass.taken.points[2], (BoardPoint{0, 0}));
  Down(samples[9].x, samples[9].y);
  sumX += samples[9].x;
  sumY += samples[9].y;
  EXPECT_EQ(driver.capture.pass.taken.points[2], (BoardPoint{sumX / 10, sumY / 10}));
  EXPECT_EQ(Index(), 0);
  EXPECT_EQ(block().adjustIndexWord, static_cast<std::int32_t>(kRunMarker));  // still running

  // The pen stays down: the next report only moves the anchor, even after the tool has moved on.
  driver.sharedState.SetAdjustCurrentIndex(4);
  for (int i = 0; i < 25; ++i) Down(6000, 6000);
  EXPECT_EQ(Index(), 4);
  EXPECT_EQ(driver.capture.pass.taken.points[3], (BoardPoint{0, 0}));
  EXPECT_TRUE(platform.output.mouse.empty());
}

TEST_F(Capture, TheMeanIsTruncated) {
  StartPointRun(9);
  Down(100, 200);
  for (int i = 0; i < 10; ++i) Down(100 + i, 200 + i);
  EXPECT_EQ(driver.capture.pass.taken.points[0], (BoardPoint{104, 204}));
}

TEST_F(Capture, AReport74UnitsOffOnEitherAxisRestartsTheCountFromItself) {
  for (const BoardPoint off : {BoardPoint{74, 0}, BoardPoint{0, 74}, BoardPoint{-74, 0}, BoardPoint{0, -74}}) {
    SCOPED_TRACE(std::to_string(off.x) + "," + std::to_string(off.y));
    SetUp();
    board = BoardContext{};
    StartPointRun(9);
    Down(1000, 1000);
    for (int i = 0; i < 9; ++i) Down(1000, 1000);
    const BoardPoint restart{1000 + off.x, 1000 + off.y};
    Down(restart.x, restart.y);
    EXPECT_EQ(Index(), 1);
    // Nine more around the new anchor are not enough: the restarting report was not counted.
    for (int i = 0; i < 9; ++i) Down(restart.x + 2, restart.y + 2);
    EXPECT_EQ(Index(), 1);
    Down(restart.x + 2, restart.y + 2);
    EXPECT_EQ(Index(), 0);
    EXPECT_EQ(driver.capture.pass.taken.points[0], (BoardPoint{restart.x + 2, restart.y + 2}));
  }
}

TEST_F(Capture, LiftingBeforeTheTenthSampleDropsTheMeasurement) {
  StartPointRun(9);
  Down(2000, 2000);
  for (int i = 0; i < 9; ++i) Down(2010, 2010);
  Up(2010, 2010);
  EXPECT_EQ(Index(), 1);
  // A lifted pen that keeps reporting only moves the anchor.
  for (int i = 0; i < 12; ++i) Up(2020, 2020);
  EXPECT_EQ(Index(), 1);

  Down(3000, 3000);
  for (int i = 0; i < 9; ++i) Down(3001, 3001);
  EXPECT_EQ(Index(), 1);  // the nine before the lift do not count
  Down(3001, 3001);
  EXPECT_EQ(Index(), 0);
  EXPECT_EQ(driver.capture.pass.taken.points[0], (BoardPoint{3001, 3001}));
}

TEST_F(Capture, AMeasurementWithoutAnEntryIsDroppedUnacknowledged) {
  StartPointRun(9);
  driver.sharedState.SetAdjustCurrentIndex(0);  // the tool has not moved on yet
  Touch({4000, 4000});
  EXPECT_EQ(driver.capture.pass.taken.points, CaptureTables{}.pass.taken.points);
  EXPECT_EQ(Index(), 0);

  for (const std::int32_t index : {65, 255}) {
    driver.sharedState.SetAdjustType(index);
    driver.sharedState.SetAdjustCurrentIndex(index);
    Touch({4000, 4000});
    EXPECT_EQ(Index(), index);
    EXPECT_EQ(board.calibration.adjustType, 0u);
    EXPECT_TRUE(platform.settings.saves.empty());
  }
  EXPECT_EQ(driver.capture.pass.taken.points, CaptureTables{}.pass.taken.points);

  board.calibration.calibrated = true;
  driver.sharedState.SetAdjustType(64);
  driver.sharedState.SetAdjustCurrentIndex(64);
  Touch({4000, 4000});
  EXPECT_EQ(driver.capture.pass.taken.points[63], (BoardPoint{4000, 4000}));
  EXPECT_EQ(Index(), 0);
  // 64 points make no grid: the board keeps its calibration.
  EXPECT_EQ(board.calibration.rawPoints[63], (BoardPoint{0, 0}));
  EXPECT_TRUE(board.calibration.calibrated);
  EXPECT_TRUE(platform.settings.saves.empty());
}

// The targets of a 3 x 3 grid, touched on a board that is rotated and stretched against the screen.
BoardPoint DistortedBoardPosition(std::int32_t p) {
  const std::int32_t col = p / 3;
  const std::int32_t row = p % 3;
  return {3000 + col * 12000 + row * 700, 2500 + row * 13000 - col * 500};
}

TEST_F(Capture, TheLastPointOfARunCalibratesTheBoardAndSavesIt) {
  const std::int32_t adjustType = 0x10009;  // nine points, extended screen beside the primary one
  StartPointRun(adjustType);
  board.calibration.rawPoints[9] = {-9, -9};
  for (std::int32_t k = 1; k <= 9; ++k) {
    driver.sharedState.SetAdjustCurrentIndex(k);
    Touch(DistortedBoardPosition(k - 1));
    ASSERT_EQ(Index(), 0) << k;
    if (k < 9) {
      EXPECT_EQ(board.calibration.adjustType, 0u);
      EXPECT_FALSE(board.calibration.calibrated);
      EXPECT_EQ(board.calibration.rawPoints[0], (BoardPoint{0, 0}));
      EXPECT_TRUE(platform.settings.saves.empty());
    }
  }
  EXPECT_EQ(board.calibration.adjustType, 9u);
  EXPECT_TRUE(board.calibration.calibrated);
  EXPECT_EQ(board.calibration.extendScreenFlag, 1);
  for (std::int32_t p = 0; p < 9; ++p) {
    EXPECT_EQ(board.calibration.rawPoints[p], DistortedBoardPosition(p));
    const ScreenPoint mapped = MapPoint(board.calibration, board.calibration.rawPoints[p].x, board.calibration.rawPoints[p].y);
    EXPECT_NEAR(mapped.x, board.calibration.targetPoints[p].x, 1) << p;
    EXPECT_NEAR(mapped.y, board.calibration.targetPoints[p].y, 1) << p;
  }
  EXPECT_EQ(board.calibration.rawPoints[9], (BoardPoint{-9, -9}));
  EXPECT_EQ(platform.settings.values[L"adjust-\x4f43m"][L"adjusttype"], L"9");
  EXPECT_EQ(platform.settings.values[L"adjust-\x4f43m"][L"extendscreenflag"], L"1");
  EXPECT_EQ(platform.settings.values[L"adjust-\x4f43m"][L"point09-y"], std::to_wstring(DistortedBoardPosition(8).y));
}

// A pass whose grid cannot be solved (a cell flattened to within 20 units of a line) leaves the
// calibration in effect, saves nothing and asks for target 1 again, so that the tool does the pass again.
// One the file does not take is in effect, but not reported saved.
TEST_F(Capture, ARefusedGridKeepsTheCalibrationAndStartsThePassAgain) {
  const BoardPoint corners[4] = {{2000, 3000}, {2500, 29000}, {30000, 2000}, {31000, 30000}};
  const BoardPoint flat[4] = {{2000, 16000}, {12000, 16020}, {20000, 15980}, {30000, 16000}};
  const BoardPoint moved[4] = {{2100, 3100}, {2600, 29100}, {30100, 2100}, {31100, 30100}};
  const BoardPoint unsaved[4] = {{2200, 3200}, {2700, 29200}, {30200, 2200}, {31200, 30200}};
  StartPointRun(4);
  for (const auto* pass : {corners, flat, moved, unsaved}) {
    platform.settings.savesFail = pass == unsaved;
    const CalibrationBlock before = board.calibration;
    const auto writes = platform.settings.saves.size();
    const auto events = platform.log.events.size();
    for (std::int32_t k = 1; k <= 4; ++k) {
      driver.sharedState.SetAdjustCurrentIndex(k);
      Touch(pass[k - 1]);
    }
    const bool refused = pass == flat;
    EXPECT_EQ(Index(), refused ? AskAgainIndex(1) : 0);
    EXPECT_TRUE(board.calibration.calibrated);
    EXPECT_EQ(board.calibration.rawPoints == before.rawPoints, refused);
    EXPECT_EQ(platform.settings.saves.size() == writes, refused);
    // The event log tells which: saved, or refused with the previous calibration kept. A calibration the
    // file did not take is not called saved (the store tells why).
    if (pass == unsaved) {
      EXPECT_EQ(platform.log.events.size(), events);
    } else {
      EXPECT_EQ(platform.log.events.back().first, refused ? LogEvent::CalibrationRefused : LogEvent::CalibrationSaved);
    }
  }
}

// The tool or the watch may stop the run at any moment, also between the driver's look at the run and its
// answer; the library would take the answer as a new run, with nobody to end it. The stop comes at the
// driver's g_checksBeforeStop-th look at the run.
int g_checksBeforeStop = 0;
std::int32_t IsAdjustingStoppedMeanwhile() {
  const std::int32_t active = testing::FakeSharedState().IsAdjusting();
  if (--g_checksBeforeStop == 0) testing::FakeSharedState().StopAdjust();
  return active;
}

TEST_F(Capture, NoAnswerStartsARunThatHasEnded) {
  StartPointRun(9);
  driver.sharedState.IsAdjusting = IsAdjustingStoppedMeanwhile;
  Down(5000, 5000);
  for (int i = 0; i < 9; ++i) Down(5000, 5000);
  g_checksBeforeStop = 2;  // the tenth sample's route to the capture looks first, the answer second
  Down(5000, 5000);
  EXPECT_EQ(driver.capture.pass.taken.points[0], (BoardPoint{5000, 5000}));
  EXPECT_EQ(block().adjustIndexWord, 0);
}

TEST_F(Capture, TheScreenFlagComesFromTheHighHalfOfTheAdjustType) {
  StartPointRun(0x20010);
  for (std::int32_t k = 1; k <= 16; ++k) {
    driver.sharedState.SetAdjustCurrentIndex(k);
    Touch({2000 + (k - 1) / 4 * 9000, 2000 + (k - 1) % 4 * 9000});
  }
  EXPECT_EQ(board.calibration.adjustType, 16u);
  EXPECT_TRUE(board.calibration.calibrated);
  EXPECT_EQ(board.calibration.extendScreenFlag, 2);
}

TEST_F(Capture, ARunOfACountThatIsNoGridKeepsTheCalibrationAndSavesNothing) {
  board.calibration.adjustType = 4;
  board.calibration.calibrated = true;
  StartPointRun(5);
  for (std::int32_t k = 1; k <= 5; ++k) {
    driver.sharedState.SetAdjustCurrentIndex(k);
    Touch({1000 * k, 1000 * k});
    EXPECT_EQ(Index(), 0) << k;
  }
  EXPECT_EQ(board.calibration.adjustType, 4u);
  EXPECT_TRUE(board.calibration.calibrated);
  EXPECT_EQ(board.calibration.rawPoints[4], (BoardPoint{0, 0}));
  EXPECT_TRUE(platform.settings.saves.empty());
}

TEST_F(Capture, ATouchButtonRunFillsTheButtonListAndLeavesTheCalibration) {
  board.calibration.adjustType = 4;
  board.calibration.calibrated = true;
  board.calibration.extendScreenFlag = 1;
  board.calibration.rawPoints[0] = {123, 456};
  driver.sharedState.SetButtonAdjustType(3);
  driver.sharedState.StartButtonAdjust();
  driver.sharedState.SetAdjustType(0x20004);  // the point run's parameters play no part
  const BoardPoint places[3] = {{500, 600}, {700, 800}, {30000, 900}};
  for (std::int32_t k = 1; k <= 3; ++k) {
    driver.sharedState.SetButtonAdjustCurrentIndex(k);
    const BoardPoint p = places[k - 1];
    for (int i = 0; i <= 10; ++i) Down(p.x, p.y);
    Up(p.x, p.y);
    EXPECT_EQ(driver.sharedState.GetButtonAdjustCurrentIndex(), 0);
    if (k < 3) {
      EXPECT_EQ(board.calibration.touchButtons.count, 0u);
    }
  }
  EXPECT_EQ(board.calibration.touchButtons.count, 3u);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(board.calibration.touchButtons.positions[i], places[i]);
  EXPECT_EQ(driver.capture.buttons[2], places[2]);
  EXPECT_EQ(driver.capture.pass.taken.points[0], (BoardPoint{0, 0}));
  EXPECT_EQ(board.calibration.adjustType, 4u);
  EXPECT_TRUE(board.calibration.calibrated);
  EXPECT_EQ(board.calibration.extendScreenFlag, 1);
  EXPECT_EQ(board.calibration.rawPoints[0], (BoardPoint{123, 456}));
  EXPECT_EQ(platform.settings.values[L"adjust-\x4f43m"][L"num_buttons"], L"3");
  EXPECT_EQ(platform.settings.values[L"adjust-\x4f43m"][L"button03-x"], L"30000");
}

// Printed button 2 touched again for 3: refused, button 3 asked for again; the old list stays till the end.
TEST_F(Capture, ATouchButtonRunRefusesAPlaceItRecordedAndAsksForTheSameButtonAgain) {
  board.calibration.touchButtons.count = 1;
  board.calibration.touchButtons.positions[0] = {9000, 9000};
  driver.sharedState.SetButtonAdjustType(3);
  driver.sharedState.StartButtonAdjust();
  const struct {
    std::int32_t shown;   // the button the tool shows
    BoardPoint touch;
    std::int32_t answer;  // the driver's index after the touch
  } steps[] = {
      {1, {500, 600}, 0},
      {2, {4000, 600}, 0},
      {3, {4000 + 70, 600 + 70}, AskAgainIndex(3)},  // 99 units from button 2: within the reach of both
      {3, {500, 600 + 99}, AskAgainIndex(3)},
      {3, {4000, 600 + 100}, 0},                      // just clear of button 2's reach
  };
  for (const auto& step : steps) {
    driver.sharedState.SetButtonAdjustCurrentIndex(step.shown);
    Touch(step.touch);
    EXPECT_EQ(driver.sharedState.GetButtonAdjustCurrentIndex(), step.answer) << step.touch.x << "," << step.touch.y;
    if (step.answer != 0) {
      EXPECT_EQ(board.calibration.touchButtons.count, 1u);
    }
  }
  EXPECT_EQ(board.calibration.touchButtons.count, 3u);
  EXPECT_EQ(board.calibration.touchButtons.positions[2], (BoardPoint{4000, 700}));
}

// The whole way of a report while the tool runs: no pointer input, and the new calibration maps the
// very next stroke.
TEST_F(Capture, ReportsOfARunInjectNothingAndTheNextStrokeUsesTheNewCalibration) {
  StartPointRun(4);
  const BoardPoint corners[4] = {{2000, 3000}, {2500, 29000}, {30000, 2000}, {31000, 30000}};
  for (std::int32_t k = 1; k <= 4; ++k) {
    driver.sharedState.SetAdjustCurrentIndex(k);
    const BoardPoint p = corners[k - 1];
    Feed(testing::PenDown(p.x, p.y));
    for (int i = 0; i < 10; ++i) Feed(testing::PenDown(p.x + i % 2, p.y));
    Feed(testing::PenUp(p.x, p.y));
  }
  EXPECT_TRUE(platform.output.mouse.empty());
  driver.sharedState.StopAdjust();
  ASSERT_TRUE(board.calibration.calibrated);

  Feed(testing::PenDown(corners[2].x, corners[2].y));  // warm-up
  Feed(testing::PenDown(corners[2].x, corners[2].y));
  ASSERT_EQ(platform.output.mouse.size(), 1u);
  // Top-right target: 31/32 of the width, 1/32 of the height.
  EXPECT_NEAR(platform.output.mouse[0].x, 63488, 1);
  EXPECT_NEAR(platform.output.mouse[0].y, 2048, 1);
}

}  // namespace
}  // namespace velno
