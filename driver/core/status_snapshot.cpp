#include "status_snapshot.h"

namespace velno {

DriverStatus ReadDriverStatus(Driver& driver) {
  DriverStatus status;
  {
    std::lock_guard lock(driver.linkLock);
    for (const BoardContext& board : driver.boards) {
      if (board.link.port == PortHandle::None) continue;
      status.ports.push_back(board.link.portName);
      status.linkUnreliable = status.linkUnreliable || board.link.unreliable;
    }
  }
  status.calibrating = driver.sharedState.IsAdjusting() != 0;
  return status;
}

}  // namespace velno
