#include "board_reader.h"

#include "link/board_connection.h"
#include "status_snapshot.h"

namespace velno {
namespace {

class BoardReportSink final : public ReaderSink {
 public:
  BoardReportSink(Driver& driver, BoardContext& board) : driver_(driver), board_(board) {}

  void TakeReport(const BoardReport& report) override { HandleReport(driver_.reportPath, board_, report); }
  // A run left behind must end while the pen rests, so the watch runs after every pass. The icon hears
  // of the link's health and of a calibration run as this reader sees them change.
  void PassEnded() override {
    WatchRuns(driver_.platform.clock, driver_.platform.tool, driver_.sharedState, driver_.runWatch);
    const bool unreliable = board_.link.unreliable;
    const bool calibrating = driver_.sharedState.IsAdjusting() != 0;
    if (unreliable != unreliable_ || calibrating != calibrating_) {
      unreliable_ = unreliable;
      calibrating_ = calibrating;
      NotifyStatus(driver_);
    }
  }

 private:
  Driver& driver_;
  BoardContext& board_;
  bool unreliable_ = false;
  bool calibrating_ = false;
};

}  // namespace

void ReaderThread(Driver& driver, int slot) {
  BoardContext& board = driver.boards[slot];
  BoardReportSink sink(driver, board);
  const LinkRoles roles{driver.platform.ports, driver.platform.clock, driver.log};
  RunReaderPasses(roles, driver.sharedState, driver.linkLock, board.link, driver.stopFlag, sink);
  NotifyStatus(driver);  // the board is lost (or the driver stops)
}

}  // namespace velno
