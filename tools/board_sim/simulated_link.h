// The board's end of the serial link: the pseudo-terminal, a receive thread that records every byte
// from the host and answers each 0xEE at once, and the writes of the script.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>

#include "event_log.h"
#include "handshake_answer.h"
#include "pty_port.h"

namespace board_sim {

// Totals since the simulator started, over every plug.
struct ReceiveCounts {
  std::uint64_t bytes = 0;
  std::uint64_t handshakes = 0;  // 0xEE bytes received; each is counted after its answer went out
};

class BoardLink {
 public:
  // Opens the pseudo-terminal and starts receiving. Throws std::system_error.
  BoardLink(EventLog& log, AnswerMode mode);
  ~BoardLink();
  BoardLink(const BoardLink&) = delete;
  BoardLink& operator=(const BoardLink&) = delete;

  // Empty while unplugged.
  std::string SlavePath() const;

  // Writes all bytes and records them; false when unplugged or when the host let the queue fill
  // up and nothing drained within the write time-out.
  bool Send(std::span<const std::uint8_t> bytes);
  void FlushUnread();
  void SetAnswerMode(AnswerMode mode) { answerMode_ = mode; }

  void Unplug();
  // Throws std::system_error when no new pseudo-terminal can be opened.
  void Replug();

  ReceiveCounts Counts() const;
  // Waits until `done` holds for the counts; false when the deadline passed first.
  bool WaitForCounts(const std::function<bool(const ReceiveCounts&)>& done,
                     std::chrono::steady_clock::time_point deadline);

 private:
  void StartReceiving();
  void StopReceiving();
  void ReceiveLoop(int master);
  void OnReceived(std::span<const std::uint8_t> bytes);
  bool WriteLocked(std::span<const std::uint8_t> bytes);

  EventLog& log_;
  std::atomic<AnswerMode> answerMode_;
  int wakeFd_ = -1;  // eventfd that tells the receive thread to stop

  mutable std::mutex writeMutex_;  // one writer at a time: the script or an answer
  std::optional<PtyPort> port_;
  std::thread receiver_;

  mutable std::mutex countsMutex_;
  std::condition_variable countsChanged_;
  ReceiveCounts counts_;
};

}  // namespace board_sim
