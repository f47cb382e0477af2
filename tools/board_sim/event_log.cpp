#include "event_log.h"

#include <cerrno>
#include <ctime>
#include <system_error>

namespace board_sim {

std::int64_t MonotonicMicros() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1'000'000 + now.tv_nsec / 1'000;
}

std::string FormatBytesLine(std::int64_t micros, std::string_view kind, std::span<const std::uint8_t> bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string line = std::to_string(micros);
  line += ' ';
  line += kind;
  for (const std::uint8_t b : bytes) {
    line += ' ';
    line += kHex[b >> 4];
    line += kHex[b & 0x0F];
  }
  return line;
}

EventLog::EventLog(const std::filesystem::path& path) {
  if (path.empty()) return;
  file_ = std::fopen(path.c_str(), "w");
  if (file_ == nullptr) throw std::system_error(errno, std::generic_category(), "cannot create " + path.string());
}

EventLog::~EventLog() {
  if (file_ != nullptr) std::fclose(file_);
}

void EventLog::Received(std::span<const std::uint8_t> bytes, std::int64_t micros) {
  for (const std::uint8_t b : bytes) WriteLine(FormatBytesLine(micros, "rx", {&b, 1}));
}

void EventLog::Answered(std::uint8_t answer, std::int64_t micros) {
  WriteLine(FormatBytesLine(micros, "answer", {&answer, 1}));
}

void EventLog::Sent(std::span<const std::uint8_t> bytes, std::int64_t micros) {
  WriteLine(FormatBytesLine(micros, "tx", bytes));
}

void EventLog::Event(std::string_view text) {
  WriteLine(std::to_string(MonotonicMicros()) + " event " + std::string(text));
}

void EventLog::WriteLine(const std::string& line) {
  if (file_ == nullptr) return;
  const std::lock_guard lock(mutex_);
  std::fputs(line.c_str(), file_);
  std::fputc('\n', file_);
  std::fflush(file_);
}

}  // namespace board_sim
