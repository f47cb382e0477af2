#include "driver_supervisor.h"

#include <array>

#include "link/board_connection.h"
#include "calibration/projective_mapping.h"
#include "calibration/settings_file.h"
#include "shared_block.h"

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
  const ThreadHandle thread = driver.platform.StartReaderThread([&driver, slot] { ReaderThread(driver, slot); });
  if (thread == ThreadHandle::None) {
    // No reader: free the port so that a later pass can find the board again.
    driver.platform.ClosePort(board.link.port);
    ClearLink(driver.linkLock, board.link);
    return false;
  }
  started = thread;
  std::lock_guard lock(driver.linkLock);
  if (board.link.reader == kReaderStarting) board.link.reader = thread;
  return true;
}

void PollSlots(Driver& driver, std::array<ThreadHandle, kBoardSlots>& started) {
  DriverPlatform& platform = driver.platform;
  bool boardPresent = false;
  for (int slot = 0; slot < kBoardSlots; ++slot) {
    BoardContext& board = driver.boards[slot];
    if (ReaderOf(driver, board) != ThreadHandle::None) {
      boardPresent = true;
      continue;
    }
    // The slot's reader has ended: its handle is no longer needed.
    if (started[slot] != ThreadHandle::None) {
      platform.CloseThread(started[slot]);
      started[slot] = ThreadHandle::None;
    }
    const SerialLink& otherSlotLink = driver.boards[1 - slot].link;
    if (FindBoardPort(platform, driver.sharedState, driver.linkLock, board.link, otherSlotLink) == PortHandle::None) {
      platform.Sleep(kEmptySlotSleepMs);
      continue;
    }
    // Settings and transforms are made before the reader starts, so it never sees them half-made.
    LoadSettings(platform, driver.sharedState, board.calibration);
    SolveCellTransforms(board.calibration);
    // Before the reader starts: a reader may lose the board at once, and clears the link.
    platform.WriteEventLog(LogEvent::BoardFound, {board.link.portName});
    if (!StartReader(driver, slot, started[slot])) continue;
    boardPresent = true;
    platform.Sleep(kReaderStartSleepMs);
    driver.sharedState.SetDeviceState(kDeviceConnected);
  }
  if (!boardPresent) driver.sharedState.SetDeviceState(0);
}

}  // namespace

void RunDriver(Driver& driver) {
  DriverPlatform& platform = driver.platform;
  if (!platform.BindSharedState(driver.sharedState)) return;
  if (!platform.OpenStopEvent()) return;
  for (BoardContext& board : driver.boards) ClearLink(driver.linkLock, board.link);

  std::array<ThreadHandle, kBoardSlots> started{};
  if (!platform.StopEventSignalled()) {
    while (!driver.stopFlag.load()) {
      PollSlots(driver, started);
      // With no board there is no reader to watch the runs.
      WatchRuns(platform, driver.sharedState, driver.runWatch);
      platform.Sleep(kPassSleepMs);
      if (platform.StopEventSignalled()) break;
    }
  }

  driver.stopFlag.store(true);
  platform.CloseStopEvent();
  platform.Sleep(kStopGraceMs);
}

}  // namespace velno
