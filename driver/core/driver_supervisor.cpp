#include "driver_supervisor.h"

#include <array>

#include "board_reader.h"
#include "calibration/projective_mapping.h"
#include "calibration/settings_file.h"
#include "link/board_connection.h"
#include "shared_block.h"
#include "status_snapshot.h"

namespace velno {
namespace {

// Stands in a slot's link.reader while its thread is being created, so that a reader which loses
// its board at once (and clears the field) is never overwritten by the handle that arrives later.
const ThreadHandle kReaderStarting = static_cast<ThreadHandle>(~std::uintptr_t{0});

ThreadHandle ReaderOf(Driver& driver, const BoardContext& board) {
  std::lock_guard lock(driver.linkLock);
  return board.link.reader;
}

// Returns true when a reader runs for the slot afterwards.
bool StartReader(Driver& driver, int slot, ThreadHandle& started) {
  BoardContext& board = driver.boards[slot];
  {
    std::lock_guard lock(driver.linkLock);
    board.link.reader = kReaderStarting;
  }
  const ThreadHandle thread = driver.platform.threads.StartReaderThread([&driver, slot] { ReaderThread(driver, slot); });
  if (thread == ThreadHandle::None) {
    // No reader: free the port so that a later pass can find the board again.
    driver.platform.ports.ClosePort(board.link.port);
    ClearLink(driver.linkLock, board.link);
    return false;
  }
  started = thread;
  std::lock_guard lock(driver.linkLock);
  if (board.link.reader == kReaderStarting) board.link.reader = thread;
  return true;
}

void PollSlots(Driver& driver, std::array<ThreadHandle, kBoardSlots>& started) {
  const DriverPlatform& platform = driver.platform;
  bool boardPresent = false;
  for (int slot = 0; slot < kBoardSlots; ++slot) {
    BoardContext& board = driver.boards[slot];
    if (ReaderOf(driver, board) != ThreadHandle::None) {
      boardPresent = true;
      continue;
    }
    // The slot's reader has ended: its handle is no longer needed.
    if (started[slot] != ThreadHandle::None) {
      platform.threads.CloseThread(started[slot]);
      started[slot] = ThreadHandle::None;
    }
    const SerialLink& otherSlotLink = driver.boards[1 - slot].link;
    if (FindBoardPort(platform.ports, platform.clock, driver.sharedState, driver.linkLock, board.link, otherSlotLink) ==
        PortHandle::None) {
      platform.clock.Sleep(kEmptySlotSleepMs);
      continue;
    }
    // Settings and transforms are made before the reader starts, so it never sees them half-made.
    LoadSettings(platform.settings, driver.sharedState, board.calibration);
    SolveCellTransforms(board.calibration);
    // Before the reader starts: a reader may lose the board at once, and clears the link.
    driver.log.WriteEventLog(LogEvent::BoardFound, {board.link.portName});
    if (!StartReader(driver, slot, started[slot])) continue;
    boardPresent = true;
    platform.clock.Sleep(kReaderStartSleepMs);
    driver.sharedState.SetDeviceState(kDeviceConnected);
    NotifyStatus(driver);
  }
  if (!boardPresent) driver.sharedState.SetDeviceState(0);
}

}  // namespace

void RunDriver(Driver& driver, const std::function<void()>& windowsStart) {
  const DriverPlatform& platform = driver.platform;
  if (!platform.library.BindSharedState(driver.sharedState)) return;
  if (!platform.stop.OpenStopEvent()) return;
  for (BoardContext& board : driver.boards) ClearLink(driver.linkLock, board.link);
  StartSettings(platform.settings, platform.log, driver.sharedState, driver.settings);
  if (windowsStart) windowsStart();

  std::array<ThreadHandle, kBoardSlots> started{};
  if (!platform.stop.StopEventSignalled()) {
    while (!driver.stopFlag.load()) {
      PollSlots(driver, started);
      // With no board there is no reader to watch the runs.
      WatchRuns(platform.clock, platform.tool, driver.sharedState, driver.runWatch);
      driver.log.WriteDueSums(false);
      platform.clock.Sleep(kPassSleepMs);
      if (platform.stop.StopEventSignalled()) break;
    }
  }

  driver.stopFlag.store(true);
  // Counts still summing go out now rather than never.
  driver.log.WriteDueSums(true);
  platform.stop.CloseStopEvent();
  platform.clock.Sleep(kStopGraceMs);
}

}  // namespace velno
