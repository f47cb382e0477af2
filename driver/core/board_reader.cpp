#include "board_reader.h"

#include "link/board_connection.h"

namespace velno {
namespace {

class BoardReportSink final : public ReaderSink {
 public:
  BoardReportSink(Driver& driver, BoardContext& board) : driver_(driver), board_(board) {}

  void TakeReport(const BoardReport& report) override { HandleReport(driver_.reportPath, board_, report); }
  // A run left behind must end while the pen rests, so the watch runs after every pass.
  void PassEnded() override {
    WatchRuns(driver_.platform.clock, driver_.platform.tool, driver_.sharedState, driver_.runWatch);
  }

 private:
  Driver& driver_;
  BoardContext& board_;
};

}  // namespace

void ReaderThread(Driver& driver, int slot) {
  BoardContext& board = driver.boards[slot];
  BoardReportSink sink(driver, board);
  const LinkRoles roles{driver.platform.ports, driver.platform.clock, driver.log};
  RunReaderPasses(roles, driver.sharedState, driver.linkLock, board.link, driver.stopFlag, sink);
}

}  // namespace velno
