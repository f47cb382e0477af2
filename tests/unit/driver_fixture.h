// A driver on the platform fakes, its library bound to the in-process block, fed report by report
// as a board's reader thread feeds it. Time stands still unless a test moves the clock.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "board_reports.h"
#include "fake_velno.h"
#include "fake_platform.h"
#include "driver.h"
#include "report_path.h"

namespace velno::testing {

inline constexpr std::int32_t kDefaultGestureBrush = 2500;
inline constexpr std::int32_t kDefaultGestureErase = 25000;

class DriverFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFakeVelno();
    driver.sharedState = FakeSharedState();
    driver.sharedState.SetGestureBrush(kDefaultGestureBrush);
    driver.sharedState.SetGestureErase(kDefaultGestureErase);
  }

  void Feed(const BoardReport& r, int slot = 0) { HandleReport(driver.reportPath, driver.boards[slot], r); }

  // n pen-down reports at one place. The first report of a stroke is the warm-up the pointer path
  // drops; the next one presses.
  void Down(std::int32_t x, std::int32_t y, int n = 1, int slot = 0) {
    for (int i = 0; i < n; ++i) Feed(PenDown(x, y), slot);
  }
  void Up(std::int32_t x, std::int32_t y, int slot = 0) { Feed(PenUp(x, y), slot); }

  void PressButton(int number, int slot = 0) { Feed(MakeReport(static_cast<std::uint8_t>(0xA1 + number), 0, 0), slot); }
  void ReleaseButton(int number, int slot = 0) {
    Feed(MakeReport(static_cast<std::uint8_t>(0xC1 + number), 0, 0), slot);
  }

  void At(std::uint64_t ms) { platform.clock.nowMs = ms; }

  FakePlatform platform;
  Driver driver{platform.Roles()};
  BoardContext& board = driver.boards[0];
};

inline std::vector<InputRecord> CtrlShift(std::uint16_t key) {
  return {KeyPress(0x11), KeyPress(0x10), KeyPress(key), KeyRelease(key), KeyRelease(0x10), KeyRelease(0x11)};
}
inline const std::vector<InputRecord> kWinD = {KeyPress(0x5B), KeyPress('D'), KeyRelease(0x5B), KeyRelease('D')};
inline const std::vector<InputRecord> kPageUp = {KeyPress(0x21), KeyRelease(0x21)};
inline const std::vector<InputRecord> kRightClick = {MouseButton(kMouseRightDown), MouseButton(kMouseRightUp)};

inline std::string Automation(const char* command) {
  return std::string("LightboxEducation.Easiteach.Automation.exe ") + command;
}

}  // namespace velno::testing
