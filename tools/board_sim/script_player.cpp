#include "script_player.h"

#include <filesystem>
#include <fstream>
#include <optional>
#include <thread>
#include <type_traits>

#include "report_encoder.h"

namespace board_sim {

namespace {

using Clock = std::chrono::steady_clock;

class Player {
 public:
  Player(BoardLink& link, EventLog& log, const std::function<void(const std::string&)>& onPortChanged)
      : link_(link), log_(log), onPortChanged_(onPortChanged) {}

  // False when the action failed the run; the outcome says why.
  bool Play(const BoardAction& step) {
    line_ = step.line;
    return std::visit([this](const auto& action) { return Do(action); }, step.action);
  }

  PlayOutcome Failure() const { return failure_; }

 private:
  bool Do(const SendBytes& send) {
    if (lastSend_) std::this_thread::sleep_until(*lastSend_ + send.gap);
    if (!link_.Send(send.bytes)) return Fail(PlayOutcome::SendFailed, "send-failed");
    lastSend_ = Clock::now();
    return true;
  }

  bool Do(const Pause& pause) {
    std::this_thread::sleep_for(pause.duration);
    return true;
  }

  bool Do(const WaitHandshake& wait) {
    const std::uint64_t seen = accounted_.handshakes;
    const bool arrived = link_.WaitForCounts([seen](const ReceiveCounts& c) { return c.handshakes > seen; },
                                             Clock::now() + wait.timeout);
    if (!arrived) return Fail(PlayOutcome::WaitTimedOut, "wait-handshake-timeout");
    accounted_.handshakes = link_.Counts().handshakes;
    log_.Event("handshake line=" + std::to_string(line_));
    return true;
  }

  bool Do(const WaitBytes& wait) {
    const std::uint64_t wanted = accounted_.bytes + wait.count;
    const bool arrived = link_.WaitForCounts([wanted](const ReceiveCounts& c) { return c.bytes >= wanted; },
                                             Clock::now() + wait.timeout);
    if (!arrived) return Fail(PlayOutcome::WaitTimedOut, "wait-bytes-timeout");
    accounted_.bytes = link_.Counts().bytes;
    return true;
  }

  bool Do(const WaitForFile& wait) {
    const auto deadline = Clock::now() + wait.timeout;
    std::error_code error;
    do {
      if (wait.repeat.empty()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      } else if (!Do(SendBytes{wait.repeat, wait.gap})) {
        return false;
      }
      if (std::filesystem::exists(wait.path, error)) {
        log_.Event("file " + wait.path + " line=" + std::to_string(line_));
        return true;
      }
    } while (Clock::now() < deadline);
    return Fail(PlayOutcome::WaitTimedOut, "wait-file-timeout");
  }

  bool Do(const TapAtFile& tap) {
    if (!Do(WaitForFile{tap.path, tap.timeout, {}, microseconds(0)})) return false;
    int x = -1;
    int y = -1;
    std::ifstream(tap.path) >> x >> y;
    if (x < 0 || x > kMaxBoardCoordinate || y < 0 || y > kMaxBoardCoordinate) {
      return Fail(PlayOutcome::WaitTimedOut, "tap-at-file-no-place");
    }
    const Report down = EncodePenReport(Pen::Down, x, y);
    for (int i = 0; i < tap.reports; ++i) {
      if (!Do(SendBytes{{down.begin(), down.end()}, tap.gap})) return false;
    }
    const Report up = EncodePenReport(Pen::Up, x, y);
    return Do(SendBytes{{up.begin(), up.end()}, tap.gap});
  }

  bool Do(const FlushUnread&) {
    link_.FlushUnread();
    return true;
  }

  bool Do(const SetAnswerMode& set) {
    link_.SetAnswerMode(set.mode);
    return true;
  }

  bool Do(const Unplug&) {
    // The link stops naming the terminal before it closes: its number is free for reuse from then on.
    onPortChanged_("");
    link_.Unplug();
    log_.Event("unplug line=" + std::to_string(line_));
    return true;
  }

  bool Do(const Replug&) {
    link_.Replug();
    // Bytes that reached the old terminal do not satisfy waits that follow the replug.
    accounted_ = link_.Counts();
    const std::string path = link_.SlavePath();
    onPortChanged_(path);
    log_.Event("replug line=" + std::to_string(line_) + " pty=" + path);
    return true;
  }

  bool Do(const Mark& mark) {
    log_.Event("mark " + mark.text);
    return true;
  }

  bool Fail(PlayOutcome outcome, const std::string& event) {
    failure_ = outcome;
    log_.Event(event + " line=" + std::to_string(line_));
    return false;
  }

  BoardLink& link_;
  EventLog& log_;
  const std::function<void(const std::string&)>& onPortChanged_;
  ReceiveCounts accounted_;  // what earlier waits have consumed; bytes from before the run count too
  std::optional<Clock::time_point> lastSend_;
  int line_ = 0;
  PlayOutcome failure_ = PlayOutcome::Finished;
};

}  // namespace

PlayResult PlayScript(const std::vector<BoardAction>& actions, BoardLink& link, EventLog& log,
                      const std::function<void(const std::string& slavePath)>& onPortChanged) {
  Player player(link, log, onPortChanged);
  for (const BoardAction& step : actions) {
    if (!player.Play(step)) return {player.Failure(), step.line};
  }
  return {PlayOutcome::Finished, 0};
}

}  // namespace board_sim
