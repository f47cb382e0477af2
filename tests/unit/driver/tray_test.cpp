// The driver's icon without a window: its words for each state, its notifications over time, its menu.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_platform.h"
#include "tray/icon_menu.h"
#include "tray/status_notices.h"
#include "tray/status_words.h"

namespace velno {
namespace {

TEST(StatusWords, ACalibrationFirstThenTheLinkThenWhetherABoardAnswers) {
  const struct {
    DriverStatus status;
    StatusWords words;
  } cases[] = {
      {{}, {IconPicture::Looking, L"Looking for the whiteboard\u2026"}},
      {{{L"COM5"}}, {IconPicture::Ready, L"Whiteboard ready (COM5)"}},
      {{{L"COM5", L"COM12"}}, {IconPicture::Ready, L"Whiteboard ready (COM5, COM12)"}},
      {{{L"COM5"}, true}, {IconPicture::Unreliable, L"Whiteboard connection unreliable (COM5): check the USB cable"}},
      {{{L"COM5"}, true, true}, {IconPicture::Calibrating, L"Calibrating\u2026"}},
      {{{}, false, true}, {IconPicture::Calibrating, L"Calibrating\u2026"}},
  };
  for (const auto& c : cases) {
    const StatusWords words = DescribeStatus(c.status);
    EXPECT_EQ(words, c.words);
    EXPECT_LT(words.tooltip.size(), 128u) << "the notification area keeps 127 characters";
  }
}

// (time, ports) one after the other, and the notices each look gives.
TEST(StatusNotices, FoundAndLostAtMostOnceEachAMinute) {
  using Ports = std::vector<std::wstring>;
  const StatusNotice lost5{NoticeKind::BoardLost, L"Whiteboard disconnected",
                           L"Whiteboard disconnected: check the USB cable (COM5)."};
  const StatusNotice found5{NoticeKind::BoardFound, L"Whiteboard ready", L"The whiteboard is connected on COM5."};
  const StatusNotice found6{NoticeKind::BoardFound, L"Whiteboard ready", L"The whiteboard is connected on COM6."};
  const struct {
    std::uint64_t ms;
    Ports ports;
    std::vector<StatusNotice> notices;
  } looks[] = {
      {0, {}, {}},                     // the driver starts without a board: nothing to say
      {2'000, {L"COM5"}, {}},          // ... and finds one at once: no news at logon
      {5'000, {}, {lost5}},            // unplugged
      {7'000, {L"COM5"}, {found5}},    // plugged in again: news, also this early
      {7'500, {L"COM5"}, {}},          // nothing changed
      {28'000, {}, {}},                // a loose cable: lost and found again within the minute, not said again
      {32'000, {L"COM5"}, {}},
      {64'999, {}, {}},                // lost: not yet a minute since the last lost notice
      {65'000, {L"COM5"}, {}},
      {67'000, {L"COM6"}, {lost5, found6}},  // a minute after each: the board moved to another port
      {68'000, {L"COM6", L"COM5"}, {}},
      {126'999, {L"COM5"}, {}},        // COM6 lost within the minute of the last lost notice
      {135'000, {L"COM5", L"COM6"}, {found6}},
  };
  NoticeGate gate;
  for (const auto& look : looks) {
    EXPECT_EQ(TakeNotices(gate, {look.ports}, look.ms), look.notices) << "at " << look.ms << " ms";
  }
}

class RecordingToolStarter : public ToolStarter {
 public:
  bool StartTool(const std::wstring& programName, const std::wstring& arguments) override {
    started.push_back(programName + (arguments.empty() ? L"" : L" " + arguments));
    return works;
  }
  bool StartedToolRunning() override { return !started.empty() && stillRunning; }
  std::vector<std::wstring> started;
  bool works = true;
  bool stillRunning = false;
};

TEST(IconMenu, TheSecondScreensItemsNeedOneAndNothingStartsTwice) {
  const auto enabled = [](const MenuConditions& conditions) {
    std::vector<bool> flags;
    for (const MenuItem& item : IconMenu(conditions)) flags.push_back(item.enabled);
    return flags;
  };
  EXPECT_EQ(enabled({true, false}), (std::vector<bool>{true, true, true, true, true, true}));
  EXPECT_EQ(enabled({false, false}), (std::vector<bool>{true, false, false, true, true, true}));
  EXPECT_EQ(enabled({true, true}), (std::vector<bool>{false, false, false, false, true, true}));
  EXPECT_FALSE(MenuCommandEnabled(MenuCommand::CalibrateSecondScreen, {false, false}));

  // Each item starts the tool under the name the Start menu uses; the check by its switch.
  const struct {
    MenuCommand command;
    const wchar_t* started;
  } launches[] = {
      {MenuCommand::CalibrateThisScreen, L"Adjust_single_standard.exe"},
      {MenuCommand::CalibrateSecondScreen, L"Adjust_single_extend.exe"},
      {MenuCommand::CalibrateBothScreens, L"Adjust_standard_extend_double.exe"},
      {MenuCommand::CheckCalibration, L"Adjust_single_standard.exe /check"},
  };
  for (const auto& launch : launches) {
    RecordingToolStarter starter;
    testing::FakeToolPresence tool;
    EXPECT_EQ(StartToolFor(starter, tool, launch.command), ToolStart::Started);
    EXPECT_EQ(starter.started, std::vector<std::wstring>{launch.started});
  }

  // Not while a tool runs, be it one this menu started that has not yet shown itself, or one from the
  // Start menu; a tool that is missing is a failure to report.
  RecordingToolStarter starter;
  testing::FakeToolPresence tool;
  starter.stillRunning = true;
  StartToolFor(starter, tool, MenuCommand::CalibrateThisScreen);
  EXPECT_EQ(StartToolFor(starter, tool, MenuCommand::CheckCalibration), ToolStart::AlreadyRunning);
  starter.stillRunning = false;
  tool.pointTool = true;
  EXPECT_EQ(StartToolFor(starter, tool, MenuCommand::CheckCalibration), ToolStart::AlreadyRunning);
  EXPECT_EQ(starter.started.size(), 1u);
  tool.pointTool = false;
  starter.works = false;
  EXPECT_EQ(StartToolFor(starter, tool, MenuCommand::CheckCalibration), ToolStart::Failed);
  EXPECT_EQ(StartToolFor(starter, tool, MenuCommand::Settings), ToolStart::NotATool);
}

}  // namespace
}  // namespace velno
