#include "driver_supervisor.h"

#include <gtest/gtest.h>

#include "fake_velno.h"
#include "recording_platform.h"

namespace velno {
namespace {

class Supervisor : public ::testing::Test {
 protected:
  void SetUp() override { testing::ResetFakeVelno(); }

  void RunPasses(int passes) {
    platform.stopAfterPolls = passes;  // poll 0 comes before the loop, poll n after pass n
    RunDriver(driver);
  }

  testing::RecordingPlatform platform;
  Driver driver{platform};
};

TEST_F(Supervisor, WithoutABoardEachPassSleepsForBothSlotsAndPublishesNoDevice) {
  testing::FakeVelnoBlock().deviceState = 159;
  RunPasses(2);
  EXPECT_EQ(platform.sleeps, (std::vector<std::uint32_t>{2000, 2000, 2000, 2000, 2000, 2000, 200}));
  EXPECT_EQ(testing::FakeVelnoBlock().deviceState, 0);
  EXPECT_TRUE(driver.stopFlag.load());
  EXPECT_EQ(platform.stopEventCloses, 1);
}

TEST_F(Supervisor, AMissingOperationEndsBeforeTheEventOrAnyPort) {
  platform.libraryComplete = false;
  RunPasses(3);
  EXPECT_EQ(platform.stopEventPolls, 0);
  EXPECT_EQ(platform.deviceListings, 0);
  EXPECT_TRUE(platform.sleeps.empty());
}

TEST_F(Supervisor, AnEventThatCannotBeOpenedEndsAtOnce) {
  platform.stopEventOpens = false;
  RunPasses(3);
  EXPECT_EQ(platform.deviceListings, 0);
  EXPECT_FALSE(driver.stopFlag.load());
}

TEST_F(Supervisor, AStopAlreadySignalledLooksForNoBoard) {
  platform.stopAfterPolls = 0;
  RunDriver(driver);
  EXPECT_EQ(platform.deviceListings, 0);
  EXPECT_TRUE(driver.stopFlag.load());
  EXPECT_EQ(platform.sleeps, std::vector<std::uint32_t>{200});
}

TEST_F(Supervisor, AFoundBoardGetsAReaderAndCountsAsPresentOnLaterPasses) {
  platform.devices = {{L"\\Device\\silabser0", L"COM5"}};
  platform.boards[L"COM5"] = {};
  RunPasses(3);
  ASSERT_EQ(platform.threads.size(), 1u);
  EXPECT_EQ(driver.boards[0].link.reader, static_cast<ThreadHandle>(1));
  EXPECT_EQ(driver.boards[0].link.portName, L"COM5");
  // Slot 1 finds COM5 held by slot 0 and sleeps on every pass; 0 is never published.
  EXPECT_EQ(platform.opened, std::vector<std::wstring>{L"COM5"});
  EXPECT_EQ(platform.sleeps, (std::vector<std::uint32_t>{50, 100, 2000, 2000, 2000, 2000, 2000, 2000, 200}));
  EXPECT_EQ(testing::FakeVelnoBlock().deviceState, 159);
}

TEST_F(Supervisor, ALostBoardIsLookedForAgainOnTheNextPass) {
  platform.devices = {{L"\\Device\\silabser0", L"COM5"}};
  platform.boards[L"COM5"] = {};
  // The reader runs at once and loses the board: the port is gone right after the first handshake.
  platform.runThreadsAtOnce = true;
  bool unplugged = false;
  platform.onSleep = [&] {
    if (!unplugged && !platform.sleeps.empty() && platform.sleeps.back() == 50) {
      unplugged = true;
      platform.boards[L"COM5"].writesFail = true;
    }
  };
  RunPasses(1);
  // The handle that arrived after the reader had already cleared the slot was not stored.
  EXPECT_EQ(driver.boards[0].link.reader, ThreadHandle::None);
  // Slot 1 then finds the port free, but the unplugged board does not answer there either.
  EXPECT_EQ(platform.closed, (std::vector<std::wstring>{L"COM5", L"COM5"}));
  const std::vector<std::wstring> port = {L"COM5"};
  EXPECT_EQ(platform.events, (decltype(platform.events){{LogEvent::BoardFound, port}, {LogEvent::BoardLost, port}}));
  EXPECT_EQ(driver.boards[1].link.port, PortHandle::None);

  platform.boards[L"COM5"].writesFail = false;
  platform.runThreadsAtOnce = false;
  platform.stopEventPolls = 0;
  driver.stopFlag = false;
  RunPasses(1);
  EXPECT_EQ(platform.closedThreads.size(), 0u);  // a fresh run knows of no earlier reader
  EXPECT_EQ(driver.boards[0].link.reader, static_cast<ThreadHandle>(2));
}

TEST_F(Supervisor, TheHandleOfAnEndedReaderIsClosedBeforeTheSlotIsSearchedAgain) {
  platform.devices = {{L"\\Device\\silabser0", L"COM5"}};
  platform.boards[L"COM5"] = {};
  int pass = 0;
  platform.onSleep = [&] {
    // After the first pass, the reader loses the board.
    if (platform.sleeps.back() == 2000 && ++pass == 2 && driver.boards[0].link.reader != ThreadHandle::None) {
      std::lock_guard lock(driver.linkLock);
      driver.boards[0].link.reader = ThreadHandle::None;
      driver.boards[0].link.port = PortHandle::None;
      driver.boards[0].link.portName.clear();
    }
  };
  RunPasses(3);
  EXPECT_EQ(platform.closedThreads, std::vector<ThreadHandle>{static_cast<ThreadHandle>(1)});
  EXPECT_EQ(platform.threads.size(), 2u);
  EXPECT_EQ(platform.opened, (std::vector<std::wstring>{L"COM5", L"COM5"}));
}

TEST_F(Supervisor, AReaderThatCannotStartFreesThePort) {
  platform.devices = {{L"\\Device\\silabser0", L"COM5"}};
  platform.boards[L"COM5"] = {};
  platform.threadsFailToStart = true;
  RunPasses(1);
  // Both slots find the board in turn, and each frees the port again.
  EXPECT_EQ(platform.closed, (std::vector<std::wstring>{L"COM5", L"COM5"}));
  EXPECT_EQ(driver.boards[0].link.port, PortHandle::None);
  EXPECT_TRUE(driver.boards[0].link.portName.empty());
  EXPECT_EQ(testing::FakeVelnoBlock().deviceState, 0);
}

}  // namespace
}  // namespace velno
