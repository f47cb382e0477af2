#include "link/board_connection.h"

#include <gtest/gtest.h>

#include "board_reports.h"
#include "fake_platform.h"
#include "fake_velno.h"

namespace velno {
namespace {

using testing::FakeRead;

// Hands on what the reader gives it, as the driver's report path and run watch would take it.
class RecordingSink : public ReaderSink {
 public:
  void TakeReport(const BoardReport& report) override { reports.push_back(report); }
  void PassEnded() override { ++passes; }
  std::vector<BoardReport> reports;
  int passes = 0;
};

class BoardLink : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::ResetFakeVelno();
    sharedState = testing::FakeSharedState();
  }

  // Opens `name` as the slot's port, as the supervisor leaves it for the reader.
  void Attach(int slot, const std::wstring& name) {
    ports.boards.try_emplace(name);
    links[slot].port = ports.OpenBoardPort(name);
    links[slot].portName = name;
    links[slot].reader = static_cast<ThreadHandle>(7);
  }

  PortHandle FindSlotPort(int slot) {
    return FindBoardPort(ports, clock, sharedState, linkLock, links[slot], links[1 - slot]);
  }

  bool Pass(ReaderState& state) { return ReaderPass(roles, sharedState, linkLock, links[0], state, sink); }

  int EeWrites() const {
    int n = 0;
    for (const auto& w : ports.writes) n += w.second == 0xEE ? 1 : 0;
    return n;
  }

  testing::FakeSerialPorts ports;
  testing::FakeClock clock;
  testing::RecordingEventLog log;
  const LinkRoles roles{ports, clock, log};
  SharedState sharedState{};
  std::mutex linkLock;
  SerialLink links[2];
  RecordingSink sink;
};

TEST_F(BoardLink, FindsOnlyCp210xPortsWhatEverTheCaseAndTrimsTheName) {
  ports.devices = {{L"\\Device\\Serial0", L"COM1"}, {L"\\DEVICE\\SILABSER0", L"  COM5\t"}};
  ports.boards[L"COM1"] = {};
  ports.boards[L"COM5"] = {};
  const PortHandle port = FindSlotPort(0);
  ASSERT_NE(port, PortHandle::None);
  EXPECT_EQ(ports.opened, std::vector<std::wstring>{L"COM5"});
  EXPECT_EQ(links[0].port, port);
  EXPECT_EQ(links[0].portName, L"COM5");
  EXPECT_EQ(testing::FakeVelnoBlock().deviceState, 159);
  EXPECT_EQ(ports.keepAwakeCalls, 1);
  EXPECT_EQ(clock.sleeps, std::vector<std::uint32_t>{50});
}

TEST_F(BoardLink, SkipsPortsThatFailToOpenOrAnswerAndPortsHeldByTheOtherSlot) {
  ports.devices = {{L"\\Device\\silabser0", L"COM3"},
                      {L"\\Device\\silabser1", L"COM4"},
                      {L"\\Device\\slabser0", L"COM5"},
                      {L"\\Device\\slabser1", L"COM6"}};
  ports.boards[L"COM3"].opens = false;
  ports.boards[L"COM4"].answersHandshake = false;
  ports.boards[L"COM5"] = {};  // answers, but slot 0 holds it
  ports.boards[L"COM6"] = {};
  Attach(0, L"COM5");
  ports.opened.clear();

  ASSERT_NE(FindSlotPort(1), PortHandle::None);
  EXPECT_EQ(ports.opened, (std::vector<std::wstring>{L"COM3", L"COM4", L"COM6"}));
  EXPECT_EQ(ports.closed, std::vector<std::wstring>{L"COM4"});
  EXPECT_EQ(links[1].portName, L"COM6");
}

TEST_F(BoardLink, NoMatchingDeviceLeavesTheSlotEmpty) {
  ports.devices = {{L"\\Device\\Serial0", L"COM1"}};
  links[0].portName = L"COM9";
  EXPECT_EQ(FindSlotPort(0), PortHandle::None);
  EXPECT_EQ(links[0].port, PortHandle::None);
  EXPECT_TRUE(links[0].portName.empty());
}

TEST_F(BoardLink, HandshakeNeedsExactlyOneAnswerByte) {
  ports.boards[L"COM5"].answersHandshake = false;
  const PortHandle port = ports.OpenBoardPort(L"COM5");
  ports.boards[L"COM5"].reads = {FakeRead{{0xDE}}};
  EXPECT_FALSE(CheckBoard(ports, clock, sharedState, port));
  ports.boards[L"COM5"].reads = {FakeRead{{0xDD}, false}};
  EXPECT_FALSE(CheckBoard(ports, clock, sharedState, port));
  ports.boards[L"COM5"].writesFail = true;
  ports.boards[L"COM5"].reads = {FakeRead{{0xDD}}};
  EXPECT_FALSE(CheckBoard(ports, clock, sharedState, port));
  EXPECT_EQ(clock.sleeps.size(), 3u);  // the 50 ms wait comes whatever the write gave
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
  ports.boards[L"COM5"].reads = {FakeRead{stream}};
  Attach(0, L"COM5");
  ReaderState state;
  for (int i = 0; i < 12; ++i) ASSERT_TRUE(Pass(state));
  EXPECT_EQ(sink.reports,
            (std::vector<BoardReport>{PenDown(100, 100), PenDown(100, 100), PenDown(200, 200), PenUp(300, 300)}));
  EXPECT_EQ(sink.passes, 12);
  // The link's health counts the four reports and what was dropped: the leading junk, the bad report.
  EXPECT_EQ(state.health.reports - state.health.dropped, 4u);
  EXPECT_GE(state.health.dropped, 2u);
}

TEST_F(BoardLink, ASilentBoardGetsKeepAlivesThenTheHandshakeAtPass201) {
  ports.boards[L"COM5"].answersHandshake = false;
  Attach(0, L"COM5");
  ReaderState state;
  for (int pass = 1; pass <= 199; ++pass) ASSERT_TRUE(Pass(state)) << pass;
  EXPECT_EQ(state.emptyPasses, 200u);
  EXPECT_EQ(EeWrites(), 66);  // at 3, 6, ..., 198
  EXPECT_TRUE(clock.sleeps.empty());

  EXPECT_FALSE(Pass(state));
  EXPECT_EQ(EeWrites(), 68);  // the keep-alive at 201, then the handshake
  EXPECT_EQ(ports.closed, std::vector<std::wstring>{L"COM5"});
  EXPECT_EQ(links[0].port, PortHandle::None);
  EXPECT_EQ(links[0].reader, ThreadHandle::None);
  EXPECT_TRUE(links[0].portName.empty());
}

TEST_F(BoardLink, AnAnsweredKeepAliveResetsTheCount) {
  Attach(0, L"COM5");
  ReaderState state;
  ASSERT_TRUE(Pass(state));  // 2
  ASSERT_TRUE(Pass(state));  // 3: keep-alive, the board answers 0xDD
  EXPECT_EQ(EeWrites(), 1);
  ASSERT_TRUE(Pass(state));  // the lone 0xDD arrives
  EXPECT_EQ(state.emptyPasses, 0u);
  EXPECT_TRUE(sink.reports.empty());
}

TEST_F(BoardLink, AFailedKeepAliveLosesAnUnpluggedBoardOnThatPass) {
  Attach(0, L"COM5");
  ports.boards[L"COM5"].writesFail = true;
  ReaderState state;
  ASSERT_TRUE(Pass(state));
  EXPECT_FALSE(Pass(state));
  EXPECT_EQ(ports.closed, std::vector<std::wstring>{L"COM5"});
  EXPECT_EQ(testing::FakeVelnoBlock().deviceState, 0);
}

TEST_F(BoardLink, AFailingReadCountsAsEmptyAndAPassedHandshakeKeepsTheBoard) {
  Attach(0, L"COM5");
  ports.boards[L"COM5"].answersHandshake = false;
  ports.boards[L"COM5"].reads = {FakeRead{{}, false}};
  ReaderState state;
  state.emptyPasses = 200;
  // The failed read makes 201; the handshake is answered by hand.
  clock.onSleep = [&] { ports.boards[L"COM5"].reads.push_back(FakeRead{{0xDD}}); };
  EXPECT_TRUE(Pass(state));
  EXPECT_EQ(state.emptyPasses, 0u);
  EXPECT_EQ(links[0].port, static_cast<PortHandle>(1));
}

TEST_F(BoardLink, TheReaderEndsAtOnceWhenTheDriverHasStopped) {
  Attach(0, L"COM5");
  ports.boards[L"COM5"].reads = {FakeRead{{0xFA, 0x12, 0x34, 0x56, 0x78, 0xF2}}};
  const std::atomic<bool> stopped{true};
  RunReaderPasses(roles, sharedState, linkLock, links[0], stopped, sink);
  EXPECT_EQ(ports.boards[L"COM5"].reads.size(), 1u);
}

}  // namespace
}  // namespace velno
