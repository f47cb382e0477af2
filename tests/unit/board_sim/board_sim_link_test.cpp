// The board's end of a real pseudo-terminal, driven from the host's end as the driver would.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "board_sim/simulated_link.h"

namespace board_sim {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

// The host side: the driver's open serial port.
class HostPort {
 public:
  explicit HostPort(const std::string& path) : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC)) {
    if (fd_ >= 0) {
      termios mode{};
      tcgetattr(fd_, &mode);
      cfmakeraw(&mode);
      tcsetattr(fd_, TCSANOW, &mode);
    }
  }
  ~HostPort() {
    if (fd_ >= 0) ::close(fd_);
  }
  bool IsOpen() const { return fd_ >= 0; }

  void Write(const Bytes& bytes) { ASSERT_EQ(::write(fd_, bytes.data(), bytes.size()), ssize_t(bytes.size())); }

  // Up to `count` bytes, whatever came before the time-out.
  Bytes Read(std::size_t count, std::chrono::milliseconds timeout) {
    Bytes got;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (got.size() < count) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      pollfd readable{fd_, POLLIN, 0};
      if (left.count() <= 0 || ::poll(&readable, 1, static_cast<int>(left.count())) <= 0) break;
      std::uint8_t buffer[256];
      const ssize_t n = ::read(fd_, buffer, std::min(sizeof buffer, count - got.size()));
      if (n <= 0) break;
      got.insert(got.end(), buffer, buffer + n);
    }
    return got;
  }

  // What a read gives once the board is gone: 0 (end of file) or -1.
  ssize_t ReadAfterHangUp() {
    pollfd readable{fd_, POLLIN, 0};
    ::poll(&readable, 1, 1000);
    std::uint8_t b = 0;
    return ::read(fd_, &b, 1);
  }

 private:
  int fd_;
};

class BoardSimLink : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "board-sim-link-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::vector<std::string> LogLines() const {
    std::ifstream in(dir_ / "log");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line.substr(line.find(' ') + 1));
    return lines;
  }

  bool WaitForBytes(BoardLink& link, std::uint64_t bytes) {
    return link.WaitForCounts([bytes](const ReceiveCounts& c) { return c.bytes >= bytes; },
                              std::chrono::steady_clock::now() + 5s);
  }

  fs::path dir_;
};

TEST_F(BoardSimLink, AnswersEachHandshakeAndRecordsEveryByte) {
  {
    EventLog log(dir_ / "log");
    BoardLink link(log, AnswerMode::Normal);
    HostPort host(link.SlavePath());
    ASSERT_TRUE(host.IsOpen());
    host.Write({0xEE, 0x01, 0xEE});
    EXPECT_EQ(host.Read(2, 5s), (Bytes{0xDD, 0xDD}));
    ASSERT_TRUE(WaitForBytes(link, 3));
    EXPECT_EQ(link.Counts().handshakes, 2u);
    EXPECT_EQ(host.Read(1, 100ms), Bytes{});  // 0x01 is not answered
  }
  const std::vector<std::string> lines = LogLines();
  const std::vector<std::string> expected = {"rx EE", "rx 01", "rx EE", "answer DD", "answer DD"};
  EXPECT_EQ(lines, expected);
}

TEST_F(BoardSimLink, AnswerModesCanChangeWhileRunning) {
  EventLog log(dir_ / "log");
  BoardLink link(log, AnswerMode::Silent);
  HostPort host(link.SlavePath());
  host.Write({0xEE});
  ASSERT_TRUE(WaitForBytes(link, 1));
  EXPECT_EQ(host.Read(1, 200ms), Bytes{});
  EXPECT_EQ(link.Counts().handshakes, 1u);  // counted though not answered

  link.SetAnswerMode(AnswerMode::Wrong);
  host.Write({0xEE});
  EXPECT_EQ(host.Read(1, 5s), Bytes{kWrongAnswer});

  link.SetAnswerMode(AnswerMode::Normal);
  host.Write({0xEE});
  EXPECT_EQ(host.Read(1, 5s), Bytes{kHandshakeAnswer});
}

TEST_F(BoardSimLink, SentBytesReachTheHostAndFlushDropsUnreadOnes) {
  EventLog log(dir_ / "log");
  BoardLink link(log, AnswerMode::Normal);
  HostPort host(link.SlavePath());
  ASSERT_TRUE(link.Send(Bytes{0xFA, 0x12, 0x34, 0x56, 0x78, 0xF2}));
  EXPECT_EQ(host.Read(6, 5s), (Bytes{0xFA, 0x12, 0x34, 0x56, 0x78, 0xF2}));

  ASSERT_TRUE(link.Send(Bytes{1, 2, 3}));
  link.FlushUnread();
  ASSERT_TRUE(link.Send(Bytes{4, 5}));
  EXPECT_EQ(host.Read(5, 300ms), (Bytes{4, 5}));

  const std::vector<std::string> lines = LogLines();
  EXPECT_EQ(lines, (std::vector<std::string>{"tx FA 12 34 56 78 F2", "tx 01 02 03", "tx 04 05"}));
}

TEST_F(BoardSimLink, UnplugHangsUpTheHostAndReplugGivesANewPort) {
  EventLog log(dir_ / "log");
  BoardLink link(log, AnswerMode::Normal);
  const std::string firstPath = link.SlavePath();
  HostPort host(firstPath);
  ASSERT_TRUE(host.IsOpen());

  link.Unplug();
  EXPECT_EQ(link.SlavePath(), "");
  EXPECT_LE(host.ReadAfterHangUp(), 0);
  EXPECT_FALSE(HostPort(firstPath).IsOpen());
  EXPECT_FALSE(link.Send(Bytes{0xFA}));

  link.Replug();
  const std::string secondPath = link.SlavePath();
  ASSERT_NE(secondPath, "");
  HostPort again(secondPath);
  ASSERT_TRUE(again.IsOpen());
  again.Write({0xEE});
  EXPECT_EQ(again.Read(1, 5s), Bytes{kHandshakeAnswer});
}

}  // namespace
}  // namespace board_sim
