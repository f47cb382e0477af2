// The simulator's record of the link: every byte received, every byte sent, and notable events,
// one line each, stamped with CLOCK_MONOTONIC in microseconds:
//   <us> rx EE                  one line per received byte
//   <us> answer DD              the answer to a received 0xEE, stamped after it was written
//   <us> tx FA 12 34 56 78 F2   bytes the script sent, stamped as their write began
//   <us> event WORD [TEXT...]   start, ready, unplug, replug, mark, timeout, end, ...
// Each line is flushed as it is written, so a test can follow the file while the simulator runs.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <span>
#include <string>
#include <string_view>

namespace board_sim {

// CLOCK_MONOTONIC in microseconds: the clock of std::chrono::steady_clock and Python's time.monotonic().
std::int64_t MonotonicMicros();

// "<us> <kind> XX XX ..." without a line end.
std::string FormatBytesLine(std::int64_t micros, std::string_view kind, std::span<const std::uint8_t> bytes);

class EventLog {
 public:
  // An empty path keeps no record. Throws std::system_error when the file cannot be created.
  explicit EventLog(const std::filesystem::path& path);
  ~EventLog();
  EventLog(const EventLog&) = delete;
  EventLog& operator=(const EventLog&) = delete;

  void Received(std::span<const std::uint8_t> bytes, std::int64_t micros);
  void Answered(std::uint8_t answer, std::int64_t micros);
  void Sent(std::span<const std::uint8_t> bytes, std::int64_t micros);
  // `text` is one word optionally followed by details; stamped now.
  void Event(std::string_view text);

 private:
  void WriteLine(const std::string& line);

  std::mutex mutex_;
  std::FILE* file_ = nullptr;
};

}  // namespace board_sim
