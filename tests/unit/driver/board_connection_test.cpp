#include "link/board_connection.h"

#include <gtest/gtest.h>

#include "board_reports.h"
#include "fake_velno.h"
#include "recording_platform.h"

namespace velno {
namespace {

using testing::FakeRead;

class BoardLink : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::ResetFakeVelno();
    platform.BindSharedState(driver.sharedState);
  }

  // Opens `name` as the slot's port, as the supervisor leaves it for the reader.
  void Attach(int slot, const std::wstring& name) {
    platform.boards.try_emplace(name);
    driver.boards[slot].link.port = platform.OpenBoardPort(name);
    driver.boards[slot].link.portName = name;
    driver.boards[slot].link.reader = static_cast<ThreadHandle>(7);
  }

  PortHandle FindSlotPort(int slot) {
    return FindBoardPort(platform, driver.sharedState, driver.linkLock, driver.boards[slot].link,
                         driver.boards[1 - slot].link);
  }

  int EeWrites() const {
    int n = 0;
    for (const auto& w : platform.writes) n += w.second == 0xEE ? 1 : 0;
    return n;
  }

  testing::RecordingPlatform platform;
  Driver driver{platform};
};

TEST_F(BoardLink, FindsOnlyCp210xPortsWhatEverTheCaseAndTrimsTheName) {
  platform.devices = {{L"\\Device\\Serial0", L"COM1"}, {L"\\DEVICE\\SILABSER0", L"  COM5\t"}};
  platform.boards[L"COM1"] = {};
  platform.boards[L"COM5"] = {};
  const PortHandle port = FindSlotPort(0);
  ASSERT_NE(port, PortHandle::None);
  EXPECT_EQ(platform.opened, std::vector<std::wstring>{L"COM5"});
  EXPECT_EQ(driver.boards[0].link.port, port);
  EXPECT_EQ(driver.boards[0].link.portName, L"COM5");
  EXPECT_EQ(testing::FakeVelnoBlock().deviceState, 159);
  EXPECT_EQ(platform.keepAwakeCalls, 1);
  EXPECT_EQ(platform.sleeps, std::vector<std::uint32_t>{50});
}

TEST_F(BoardLink, SkipsPortsThatFailToOpenOrAnswerAndPortsHeldByTheOtherSlot) {
  platform.devices = {{L"\\Device\\silabser0", L"COM3"},
                      {L"\\Device\\silabser1", L"COM4"},
                      {L"\\Device\\slabser0", L"COM5"},
                      {L"\\Device\\slabser1", L"COM6"}};
  platform.boards[L"COM3"].opens = false;
  platform.boards[L"COM4"].answersHandshake = false;
  platform.boards[L"COM5"] = {};  // answers, but slot 0 holds it
  platform.boards[L"COM6"] = {};
  Attach(0, L"COM5");
  platform.opened.clear();

  ASSERT_NE(FindSlotPort(1), PortHandle::None);
  EXPECT_EQ(platform.opened, (std::vector<std::wstring>{L"COM3", L"COM4", L"COM6"}));
  EXPECT_EQ(platform.closed, std::vector<std::wstring>{L"COM4"});
  EXPECT_EQ(driver.boards[1].link.portName, L"COM6");
}

TEST_F(BoardLink, NoMatchingDeviceLeavesTheSlotEmpty) {
  platform.devices = {{L"\\Device\\Serial0", L"COM1"}};
  driver.boards[0].link.portName = L"COM9";
  EXPECT_EQ(FindSlotPort(0), PortHandle::None);
  EXPECT_EQ(driver.boards[0].link.port, PortHandle::None);
  EXPECT_TRUE(driver.boards[0].link.portName.empty());
}

TEST_F(BoardLink, HandshakeNeedsExactlyOneAnswerByte) {
  platform.boards[L"COM5"].answersHandshake = false;
  const PortHandle port = platform.OpenBoardPort(L"COM5");
  platform.boards[L"COM5"].reads = {FakeRead{{0xDE}}};
  EXPECT_FALSE(CheckBoard(platform, driver.sharedState, port));
  platform.boards[L"COM5"].reads = {FakeRead{{0xDD}, false}};
  EXPECT_FALSE(CheckBoard(platform, driver.sharedState, port));
  platform.boards[L"COM5"].writesFail = true;
  platform.boards[L"COM5"].reads = {FakeRead{{0xDD}}};
  EXPECT_FALSE(CheckBoard(platform, driver.sharedState, port));
  EXPECT_EQ(platform.sleeps.size(), 3u);  // the 50 ms wait comes whatever the write gave
  EXPECT_EQ(testing::FakeVelnoBlock().deviceState, 0);
}

TEST_F(BoardLink, ReaderDispatchesReportsBetweenJunk) {
  using testing::PenDown;
  using testing::PenUp;
  std::vector<std::uint8_t> stream = {0x13, 0x11, 0x00};
  BoardReport bad = PenDown(500, 500);
  bad[5] ^= 0x01;
  for (const BoardReport& r : {PenDown(100, 100), PenDown(100, 100), bad, PenDown(200, 200), PenUp(300, 300)}) {
    stream.insert(stream.end(), r.begin(), r.end());
  }
  platform.boards[L"COM5"].reads = {FakeRead{stream}};
  Attach(0, L"COM5");
  ReaderState state;
  for (int i = 0; i < 12; ++i) ASSERT_TRUE(ReaderPass(driver, 0, state));
  ASSERT_EQ(platform.mouse.size(), 3u);
  // The link's health counts the four reports and what was dropped: the leading junk, the bad report.
  EXPECT_EQ(state.health.reports - state.health.dropped, 4u);
  EXPECT_GE(state.health.dropped, 2u);
  EXPECT_EQ(platform.mouse[0].flags, 0x8003u);
  EXPECT_EQ(platform.mouse[1].x, (100 + 200) / 2 * 16);
  EXPECT_EQ(platform.mouse[2].flags, 0x8005u);
}

TEST_F(BoardLink, ASilentBoardGetsKeepAlivesThenTheHandshakeAtPass201) {
  platform.boards[L"COM5"].answersHandshake = false;
  Attach(0, L"COM5");
  ReaderState state;
  for (int pass = 1; pass <= 199; ++pass) ASSERT_TRUE(ReaderPass(driver, 0, state)) << pass;
  EXPECT_EQ(state.emptyPasses, 200u);
  EXPECT_EQ(EeWrites(), 66);  // at 3, 6, ..., 198
  EXPECT_TRUE(platform.sleeps.empty());

  EXPECT_FALSE(ReaderPass(driver, 0, state));
  EXPECT_EQ(EeWrites(), 68);  // the keep-alive at 201, then the handshake
  EXPECT_EQ(platform.closed, std::vector<std::wstring>{L"COM5"});
  EXPECT_EQ(driver.boards[0].link.port, PortHandle::None);
  EXPECT_EQ(driver.boards[0].link.reader, ThreadHandle::None);
  EXPECT_TRUE(driver.boards[0].link.portName.empty());
}

TEST_F(BoardLink, AnAnsweredKeepAliveResetsTheCount) {
  Attach(0, L"COM5");
  ReaderState state;
  ASSERT_TRUE(ReaderPass(driver, 0, state));  // 2
  ASSERT_TRUE(ReaderPass(driver, 0, state));  // 3: keep-alive, the board answers 0xDD
  EXPECT_EQ(EeWrites(), 1);
  ASSERT_TRUE(ReaderPass(driver, 0, state));  // the lone 0xDD arrives
  EXPECT_EQ(state.emptyPasses, 0u);
  EXPECT_TRUE(platform.mouse.empty());
}

TEST_F(BoardLink, AFailedKeepAliveLosesAnUnpluggedBoardOnThatPass) {
  Attach(0, L"COM5");
  platform.boards[L"COM5"].writesFail = true;
  ReaderState state;
  ASSERT_TRUE(ReaderPass(driver, 0, state));
  EXPECT_FALSE(ReaderPass(driver, 0, state));
  EXPECT_EQ(platform.closed, std::vector<std::wstring>{L"COM5"});
  EXPECT_EQ(testing::FakeVelnoBlock().deviceState, 0);
}

TEST_F(BoardLink, AFailingReadCountsAsEmptyAndAPassedHandshakeKeepsTheBoard) {
  Attach(0, L"COM5");
  platform.boards[L"COM5"].answersHandshake = false;
  platform.boards[L"COM5"].reads = {FakeRead{{}, false}};
  ReaderState state;
  state.emptyPasses = 200;
  // The failed read makes 201; the handshake is answered by hand.
  platform.onSleep = [&] { platform.boards[L"COM5"].reads.push_back(FakeRead{{0xDD}}); };
  EXPECT_TRUE(ReaderPass(driver, 0, state));
  EXPECT_EQ(state.emptyPasses, 0u);
  EXPECT_EQ(driver.boards[0].link.port, static_cast<PortHandle>(1));
}

TEST_F(BoardLink, ReaderThreadEndsAtOnceWhenTheDriverHasStopped) {
  Attach(0, L"COM5");
  platform.boards[L"COM5"].reads = {FakeRead{{0xFA, 0x12, 0x34, 0x56, 0x78, 0xF2}}};
  driver.stopFlag = true;
  ReaderThread(driver, 0);
  EXPECT_EQ(platform.boards[L"COM5"].reads.size(), 1u);
}

}  // namespace
}  // namespace velno
