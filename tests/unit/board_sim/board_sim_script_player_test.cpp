// Scripts played over a real pseudo-terminal, with the test as the host.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "board_sim/simulated_link.h"
#include "board_sim/report_encoder.h"
#include "board_sim/script_parser.h"
#include "board_sim/script_player.h"

namespace board_sim {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

int OpenHost(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  termios mode{};
  tcgetattr(fd, &mode);
  cfmakeraw(&mode);
  tcsetattr(fd, TCSANOW, &mode);
  return fd;
}

// Everything the host can read until nothing came for `quiet`.
Bytes ReadUntilQuiet(int fd, std::chrono::milliseconds quiet) {
  Bytes got;
  pollfd readable{fd, POLLIN, 0};
  while (::poll(&readable, 1, static_cast<int>(quiet.count())) > 0) {
    std::uint8_t buffer[256];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n <= 0) break;
    got.insert(got.end(), buffer, buffer + n);
  }
  return got;
}

Bytes AllSentBytes(const std::vector<BoardAction>& actions) {
  Bytes all;
  for (const BoardAction& a : actions) {
    if (const auto* send = std::get_if<SendBytes>(&a.action)) {
      all.insert(all.end(), send->bytes.begin(), send->bytes.end());
    }
  }
  return all;
}

class BoardSimScriptPlayer : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "board-sim-player-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    log_ = std::make_unique<EventLog>(dir_ / "log");
    link_ = std::make_unique<BoardLink>(*log_, AnswerMode::Normal);
    host_ = OpenHost(link_->SlavePath());
    ASSERT_GE(host_, 0);
  }
  void TearDown() override {
    ::close(host_);
    link_.reset();
    log_.reset();
    fs::remove_all(dir_);
  }

  PlayResult Play(const std::vector<BoardAction>& actions) {
    return PlayScript(actions, *link_, *log_, [this](const std::string& path) { portChanges_.push_back(path); });
  }

  // Log lines of one kind, without their time stamps, and the time stamps.
  std::vector<std::pair<std::int64_t, std::string>> LogOf(const std::string& kind) const {
    std::ifstream in(dir_ / "log");
    std::vector<std::pair<std::int64_t, std::string>> lines;
    for (std::string line; std::getline(in, line);) {
      std::istringstream words(line);
      std::int64_t micros = 0;
      std::string lineKind;
      words >> micros >> lineKind;
      std::string rest;
      std::getline(words, rest);
      if (lineKind == kind) lines.emplace_back(micros, rest.empty() ? rest : rest.substr(1));
    }
    return lines;
  }

  fs::path dir_;
  std::unique_ptr<EventLog> log_;
  std::unique_ptr<BoardLink> link_;
  int host_ = -1;
  std::vector<std::string> portChanges_;
};

TEST_F(BoardSimScriptPlayer, HostReceivesEveryScriptedByteInOrder) {
  const std::vector<BoardAction> actions = ParseBoardScript(
      "rate 1000\nline 100 200 300 400 4\npress 2\nrelease 2\nraw 00 13\nbad-checksum 5 5\nsplit 11068 2330 3 5\nup\n");
  ASSERT_EQ(Play(actions).outcome, PlayOutcome::Finished);
  EXPECT_EQ(ReadUntilQuiet(host_, 200ms), AllSentBytes(actions));
  EXPECT_EQ(LogOf("tx").size(), 13u);  // one line per write: 6 + 2 + 1 + 1 + 2 halves + 1
}

TEST_F(BoardSimScriptPlayer, SendsArePacedByTheRate) {
  ASSERT_EQ(Play(ParseBoardScript("rate 50\ndown 1 1\ndown 2 2\ndown 3 3\n")).outcome, PlayOutcome::Finished);
  const auto sent = LogOf("tx");
  ASSERT_EQ(sent.size(), 3u);
  EXPECT_GE(sent[1].first - sent[0].first, 20'000);
  EXPECT_GE(sent[2].first - sent[1].first, 20'000);
}

TEST_F(BoardSimScriptPlayer, WaitHandshakeTakesEachHandshakeOnce) {
  const Bytes handshake{kHandshakeRequest};
  ASSERT_EQ(::write(host_, handshake.data(), 1), 1);  // before the script starts: still counts
  const PlayResult result = Play(ParseBoardScript("wait-handshake 5000\nmark answered\nwait-handshake 200\n"));
  EXPECT_EQ(result.outcome, PlayOutcome::WaitTimedOut);
  EXPECT_EQ(result.line, 3);
  EXPECT_EQ(ReadUntilQuiet(host_, 100ms), Bytes{kHandshakeAnswer});
  EXPECT_EQ(LogOf("event").back().second, "wait-handshake-timeout line=3");
}

TEST_F(BoardSimScriptPlayer, WaitHandshakeReturnsWhenTheHostPolls) {
  std::thread hostPolls([this] {
    std::this_thread::sleep_for(50ms);
    const std::uint8_t request = kHandshakeRequest;
    (void)::write(host_, &request, 1);
  });
  const PlayResult result = Play(ParseBoardScript("wait-handshake 5000\ndown 1 1\n"));
  hostPolls.join();
  EXPECT_EQ(result.outcome, PlayOutcome::Finished);
  const Report report = EncodePenReport(Pen::Down, 1, 1);
  Bytes expected{kHandshakeAnswer};
  expected.insert(expected.end(), report.begin(), report.end());
  EXPECT_EQ(ReadUntilQuiet(host_, 200ms), expected);  // the answer comes before the report
}

TEST_F(BoardSimScriptPlayer, WaitBytesCountsFromThePreviousWait) {
  const Bytes three{1, 2, 3};
  ASSERT_EQ(::write(host_, three.data(), 3), 3);
  const PlayResult result = Play(ParseBoardScript("wait-bytes 2 5000\nwait-bytes 1 200\n"));
  EXPECT_EQ(result.outcome, PlayOutcome::WaitTimedOut);
  EXPECT_EQ(result.line, 2);
}

TEST_F(BoardSimScriptPlayer, UnplugTakesThePortAwayAndReplugRepointsIt) {
  const Bytes handshake{kHandshakeRequest};
  ASSERT_EQ(::write(host_, handshake.data(), 1), 1);
  ASSERT_TRUE(link_->WaitForCounts([](const ReceiveCounts& c) { return c.handshakes == 1; },
                                   std::chrono::steady_clock::now() + 5s));
  // The handshake before the unplug does not satisfy the wait after the replug.
  const PlayResult result = Play(ParseBoardScript("unplug\nreplug\nwait-handshake 200\n"));
  EXPECT_EQ(result.outcome, PlayOutcome::WaitTimedOut);
  // The port goes away with the unplug and comes back as the new terminal.
  EXPECT_EQ(portChanges_, (std::vector<std::string>{"", link_->SlavePath()}));
  const auto events = LogOf("event");
  ASSERT_GE(events.size(), 2u);
  EXPECT_EQ(events[0].second, "unplug line=1");
  EXPECT_EQ(events[1].second, "replug line=2 pty=" + link_->SlavePath());
}

TEST_F(BoardSimScriptPlayer, HoldUntilFileRepeatsTheReportUntilTheFileAppears) {
  const fs::path signal = dir_ / "next-target";
  std::thread test([&] {
    std::this_thread::sleep_for(100ms);
    std::ofstream(signal).put('\n');
  });
  const PlayResult held = Play(ParseBoardScript("rate 200\nhold-until-file 7 9 " + signal.string() + " 5000\nup\n"));
  test.join();
  ASSERT_EQ(held.outcome, PlayOutcome::Finished);
  const Bytes got = ReadUntilQuiet(host_, 200ms);
  const Report down = EncodePenReport(Pen::Down, 7, 9);
  const Report up = EncodePenReport(Pen::Up, 7, 9);
  // Pen-down reports for the whole wait (about 20 at 200 a second), then the pen-up at the same place.
  ASSERT_GE(got.size(), 10 * 6u);
  ASSERT_EQ(got.size() % 6, 0u);
  for (std::size_t i = 0; i + 6 < got.size(); i += 6) EXPECT_TRUE(std::equal(down.begin(), down.end(), &got[i])) << i;
  EXPECT_TRUE(std::equal(up.begin(), up.end(), got.end() - 6));

  // A touch where a file says, once it is there: the test names the place after the script began.
  const fs::path place = dir_ / "place";
  std::ofstream(place) << "300 400\n";
  ASSERT_EQ(Play(ParseBoardScript("rate 200\ntap-at-file " + place.string() + " 20 5000\n")).outcome,
            PlayOutcome::Finished);
  const Bytes tap = ReadUntilQuiet(host_, 200ms);
  const Report at = EncodePenReport(Pen::Down, 300, 400);
  ASSERT_EQ(tap.size(), 5 * 6u);
  EXPECT_TRUE(std::equal(at.begin(), at.end(), tap.begin()));
  const Report lift = EncodePenReport(Pen::Up, 300, 400);
  EXPECT_TRUE(std::equal(lift.begin(), lift.end(), tap.end() - 6));

  const PlayResult timedOut = Play(ParseBoardScript("wait-file " + (dir_ / "never").string() + " 50\n"));
  EXPECT_EQ(timedOut.outcome, PlayOutcome::WaitTimedOut);
  EXPECT_EQ(LogOf("event").back().second, "wait-file-timeout line=1");
}

}  // namespace
}  // namespace board_sim
