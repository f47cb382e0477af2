#include "driver_supervisor.h"

#include <gtest/gtest.h>

#include "fake_velno.h"
#include "fake_platform.h"

namespace velno {
namespace {

class Supervisor : public ::testing::Test {
 protected:
  void SetUp() override { testing::ResetFakeVelno(); }

  void RunPasses(int passes) {
    platform.stop.stopAfterPolls = passes;  // poll 0 comes before the loop, poll n after pass n
    RunDriver(driver);
  }

  testing::FakePlatform platform;
  Driver driver{platform.Roles()};
};

TEST_F(Supervisor, WithoutABoardEachPassSleepsForBothSlotsAndPublishesNoDevice) {
  testing::FakeVelnoBlock().deviceState = 159;
  RunPasses(2);
  EXPECT_EQ(platform.clock.sleeps, (std::vector<std::uint32_t>{2000, 2000, 2000, 2000, 2000, 2000, 200}));
  EXPECT_EQ(testing::FakeVelnoBlock().deviceState, 0);
  EXPECT_TRUE(driver.stopFlag.load());
  EXPECT_EQ(platform.stop.closes, 1);
}

TEST_F(Supervisor, AMissingOperationEndsBeforeTheEventOrAnyPort) {
  platform.library.complete = false;
  RunPasses(3);
  EXPECT_EQ(platform.stop.polls, 0);
  EXPECT_EQ(platform.ports.deviceListings, 0);
  EXPECT_TRUE(platform.clock.sleeps.empty());
}

TEST_F(Supervisor, AnEventThatCannotBeOpenedEndsAtOnce) {
  platform.stop.opens = false;
  RunPasses(3);
  EXPECT_EQ(platform.ports.deviceListings, 0);
  EXPECT_FALSE(driver.stopFlag.load());
}

TEST_F(Supervisor, AStopAlreadySignalledLooksForNoBoard) {
  platform.stop.stopAfterPolls = 0;
  RunDriver(driver);
  EXPECT_EQ(platform.ports.deviceListings, 0);
  EXPECT_TRUE(driver.stopFlag.load());
  EXPECT_EQ(platform.clock.sleeps, std::vector<std::uint32_t>{200});
}

TEST_F(Supervisor, AFoundBoardGetsAReaderAndCountsAsPresentOnLaterPasses) {
  platform.ports.devices = {{L"\\Device\\silabser0", L"COM5"}};
  platform.ports.boards[L"COM5"] = {};
  RunPasses(3);
  ASSERT_EQ(platform.threads.started.size(), 1u);
  EXPECT_EQ(driver.boards[0].link.reader, static_cast<ThreadHandle>(1));
  EXPECT_EQ(driver.boards[0].link.portName, L"COM5");
  // Slot 1 finds COM5 held by slot 0 and sleeps on every pass; 0 is never published.
  EXPECT_EQ(platform.ports.opened, std::vector<std::wstring>{L"COM5"});
  EXPECT_EQ(platform.clock.sleeps, (std::vector<std::uint32_t>{50, 100, 2000, 2000, 2000, 2000, 2000, 2000, 200}));
  EXPECT_EQ(testing::FakeVelnoBlock().deviceState, 159);
}

TEST_F(Supervisor, ALostBoardIsLookedForAgainOnTheNextPass) {
  platform.ports.devices = {{L"\\Device\\silabser0", L"COM5"}};
  platform.ports.boards[L"COM5"] = {};
  // The reader runs at once and loses the board: the port is gone right after the first handshake.
  platform.threads.runAtOnce = true;
  bool unplugged = false;
  platform.clock.onSleep = [&] {
    if (!unplugged && !platform.clock.sleeps.empty() && platform.clock.sleeps.back() == 50) {
      unplugged = true;
      platform.ports.boards[L"COM5"].writesFail = true;
    }
  };
  int iconLooks = 0;
  driver.statusChanged = [&] { ++iconLooks; };
  RunPasses(1);
  EXPECT_EQ(iconLooks, 2) << "the icon hears of the board found and of it lost";
  // The handle that arrived after the reader had already cleared the slot was not stored.
  EXPECT_EQ(driver.boards[0].link.reader, ThreadHandle::None);
  // Slot 1 then finds the port free, but the unplugged board does not answer there either.
  EXPECT_EQ(platform.ports.closed, (std::vector<std::wstring>{L"COM5", L"COM5"}));
  const std::vector<std::wstring> port = {L"COM5"};
  EXPECT_EQ(platform.log.events, (decltype(platform.log.events){{LogEvent::BoardFound, port}, {LogEvent::BoardLost, port}}));
  EXPECT_EQ(driver.boards[1].link.port, PortHandle::None);

  platform.ports.boards[L"COM5"].writesFail = false;
  platform.threads.runAtOnce = false;
  platform.stop.polls = 0;
  driver.stopFlag = false;
  RunPasses(1);
  EXPECT_EQ(platform.threads.closedThreads.size(), 0u);  // a fresh run knows of no earlier reader
  EXPECT_EQ(driver.boards[0].link.reader, static_cast<ThreadHandle>(2));
}

TEST_F(Supervisor, TheHandleOfAnEndedReaderIsClosedBeforeTheSlotIsSearchedAgain) {
  platform.ports.devices = {{L"\\Device\\silabser0", L"COM5"}};
  platform.ports.boards[L"COM5"] = {};
  int pass = 0;
  platform.clock.onSleep = [&] {
    // After the first pass, the reader loses the board.
    if (platform.clock.sleeps.back() == 2000 && ++pass == 2 && driver.boards[0].link.reader != ThreadHandle::None) {
      std::lock_guard lock(driver.linkLock);
      driver.boards[0].link.reader = ThreadHandle::None;
      driver.boards[0].link.port = PortHandle::None;
      driver.boards[0].link.portName.clear();
    }
  };
  RunPasses(3);
  EXPECT_EQ(platform.threads.closedThreads, std::vector<ThreadHandle>{static_cast<ThreadHandle>(1)});
  EXPECT_EQ(platform.threads.started.size(), 2u);
  EXPECT_EQ(platform.ports.opened, (std::vector<std::wstring>{L"COM5", L"COM5"}));
}

TEST_F(Supervisor, AReaderThatCannotStartFreesThePort) {
  platform.ports.devices = {{L"\\Device\\silabser0", L"COM5"}};
  platform.ports.boards[L"COM5"] = {};
  platform.threads.failToStart = true;
  RunPasses(1);
  // Both slots find the board in turn, and each frees the port again.
  EXPECT_EQ(platform.ports.closed, (std::vector<std::wstring>{L"COM5", L"COM5"}));
  EXPECT_EQ(driver.boards[0].link.port, PortHandle::None);
  EXPECT_TRUE(driver.boards[0].link.portName.empty());
  EXPECT_EQ(testing::FakeVelnoBlock().deviceState, 0);
}

}  // namespace
}  // namespace velno
