#include "simulated_link.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

namespace board_sim {

namespace {

// Longest a write waits for the host to drain a full queue (about 4 KB, some 680 reports).
constexpr int kWriteTimeoutMs = 2000;

}  // namespace

BoardLink::BoardLink(EventLog& log, AnswerMode mode) : log_(log), answerMode_(mode) {
  wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeFd_ < 0) throw std::system_error(errno, std::generic_category(), "eventfd");
  try {
    port_ = PtyPort::Open();
  } catch (...) {
    ::close(wakeFd_);
    throw;
  }
  StartReceiving();
}

BoardLink::~BoardLink() {
  StopReceiving();
  ::close(wakeFd_);
}

std::string BoardLink::SlavePath() const {
  const std::lock_guard lock(writeMutex_);
  return port_ ? port_->SlavePath() : std::string();
}

bool BoardLink::Send(std::span<const std::uint8_t> bytes) {
  const std::lock_guard lock(writeMutex_);
  // Stamped as the write starts: a stamp taken after it could come late by however long the reader's
  // wake-up preempts this thread, and then read as a report received before it was sent.
  const std::int64_t stamp = MonotonicMicros();
  if (!WriteLocked(bytes)) return false;
  log_.Sent(bytes, stamp);
  return true;
}

void BoardLink::FlushUnread() {
  const std::lock_guard lock(writeMutex_);
  // What the master wrote waits in the slave's input queue until the host reads it.
  if (port_) ::tcflush(port_->Slave(), TCIFLUSH);
}

void BoardLink::Unplug() {
  StopReceiving();
  const std::lock_guard lock(writeMutex_);
  port_.reset();
}

void BoardLink::Replug() {
  {
    const std::lock_guard lock(writeMutex_);
    port_ = PtyPort::Open();
  }
  StartReceiving();
}

ReceiveCounts BoardLink::Counts() const {
  const std::lock_guard lock(countsMutex_);
  return counts_;
}

bool BoardLink::WaitForCounts(const std::function<bool(const ReceiveCounts&)>& done,
                              std::chrono::steady_clock::time_point deadline) {
  std::unique_lock lock(countsMutex_);
  return countsChanged_.wait_until(lock, deadline, [&] { return done(counts_); });
}

void BoardLink::StartReceiving() {
  std::uint64_t stale = 0;
  (void)::read(wakeFd_, &stale, sizeof stale);  // a stop request of the previous plug
  receiver_ = std::thread(&BoardLink::ReceiveLoop, this, port_->Master());
}

void BoardLink::StopReceiving() {
  if (!receiver_.joinable()) return;
  const std::uint64_t one = 1;
  (void)::write(wakeFd_, &one, sizeof one);
  receiver_.join();
}

void BoardLink::ReceiveLoop(int master) {
  pollfd fds[2] = {{master, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
  std::uint8_t buffer[256];
  while (true) {
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (fds[1].revents != 0) return;
    if ((fds[0].revents & POLLIN) != 0) {
      const ssize_t n = ::read(master, buffer, sizeof buffer);
      if (n > 0) OnReceived({buffer, static_cast<std::size_t>(n)});
    } else if (fds[0].revents != 0) {
      // Hang-up or error without data: only a stop request can follow.
      fds[0].fd = -1;
    }
  }
}

void BoardLink::OnReceived(std::span<const std::uint8_t> bytes) {
  log_.Received(bytes, MonotonicMicros());
  std::uint64_t handshakes = 0;
  for (const std::uint8_t b : bytes) {
    if (b == kHandshakeRequest) ++handshakes;
    if (const std::optional<std::uint8_t> answer = AnswerTo(b, answerMode_)) {
      const std::lock_guard lock(writeMutex_);
      if (WriteLocked({&*answer, 1})) log_.Answered(*answer, MonotonicMicros());
    }
  }
  {
    const std::lock_guard lock(countsMutex_);
    counts_.bytes += bytes.size();
    counts_.handshakes += handshakes;
  }
  countsChanged_.notify_all();
}

bool BoardLink::WriteLocked(std::span<const std::uint8_t> bytes) {
  if (!port_) return false;
  while (!bytes.empty()) {
    const ssize_t n = ::write(port_->Master(), bytes.data(), bytes.size());
    if (n > 0) {
      bytes = bytes.subspan(static_cast<std::size_t>(n));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) return false;
    pollfd writable{port_->Master(), POLLOUT, 0};
    if (::poll(&writable, 1, kWriteTimeoutMs) <= 0) return false;
  }
  return true;
}

}  // namespace board_sim
