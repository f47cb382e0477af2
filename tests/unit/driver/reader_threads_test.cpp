// The supervisor with two boards' readers on threads of their own, as the driver runs them. The tsan
// preset runs this under ThreadSanitizer.
#include <gtest/gtest.h>

#include <mutex>
#include <thread>

#include "board_reports.h"
#include "link/board_connection.h"
#include "driver_supervisor.h"
#include "fake_velno.h"
#include "fake_platform.h"

namespace velno {
namespace {

using testing::FakeRead;
using testing::MouseCall;

constexpr int kStrokes = 40;

// A board that answers the first handshake, then plays kStrokes still strokes of five reports each,
// x from `left` on, and goes silent: its reader loses it once it stops answering.
testing::FakeBoard StrokingBoard(std::int32_t left) {
  testing::FakeBoard board;
  board.answersHandshake = false;
  board.reads.push_back({{kHandshakeAnswer}});
  for (int s = 0; s < kStrokes; ++s) {
    for (int r = 0; r < 5; ++r) {
      const BoardReport report = r < 4 ? testing::PenDown(left + s * 100, 9000) : testing::PenUp(left + s * 100, 9000);
      board.reads.push_back({{report.begin(), report.end()}});
    }
  }
  return board;
}

TEST(ReaderThreads, SupervisorAndTwoReadersPlayBothBoardsToTheEndAndStop) {
  testing::ResetFakeVelno();
  testing::FakePlatform platform;
  platform.threads.realThreads = true;
  Driver driver{platform.Roles()};
  platform.ports.devices = {{L"\\Device\\silabser0", L"COM5"}, {L"\\Device\\silabser1", L"COM6"}};
  platform.ports.boards[L"COM5"] = StrokingBoard(1000);
  platform.ports.boards[L"COM6"] = StrokingBoard(20000);

  // The stop comes once both readers have started and ended. Only the supervisor looks: it is the one
  // thread that starts readers.
  const std::thread::id supervisor = std::this_thread::get_id();
  platform.clock.onSleep = [&] {
    if (std::this_thread::get_id() != supervisor || platform.threads.started.size() < 2) return;
    std::scoped_lock lock(driver.linkLock);
    if (driver.boards[0].link.reader == ThreadHandle::None && driver.boards[1].link.reader == ThreadHandle::None) {
      platform.stop.stopAfterPolls = 0;
    }
  };
  RunDriver(driver);
  platform.threads.JoinThreads();

  // Every stroke of each board: a press and a release, on its own board's side of the screen.
  int presses[2] = {0, 0};
  int releases[2] = {0, 0};
  for (const MouseCall& call : platform.output.mouse) {
    const int side = call.x < 20000 * 16 ? 0 : 1;
    presses[side] += call.flags == 0x8003 ? 1 : 0;
    releases[side] += call.flags == 0x8005 ? 1 : 0;
  }
  EXPECT_EQ(presses[0], kStrokes);
  EXPECT_EQ(releases[0], kStrokes);
  EXPECT_EQ(presses[1], kStrokes);
  EXPECT_EQ(releases[1], kStrokes);
  EXPECT_EQ(platform.threads.started.size(), 2u);
}

}  // namespace
}  // namespace velno
