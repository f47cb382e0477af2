// The example board scripts of tests/data/scripts, each played to its end by the script player over a
// real link, the test standing in for the host: what the board sent, framed as the driver frames it, is what
// the script's comment says it sends.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "board_sim/report_encoder.h"
#include "board_sim/script_parser.h"
#include "board_sim/script_player.h"
#include "board_sim/simulated_link.h"
#include "link/report_framer.h"

namespace board_sim {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

std::string ReadText(const fs::path& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Pauses and report gaps only space out what the host sees (one example waits four minutes): the
// examples play without them.
std::vector<BoardAction> WithoutPauses(std::vector<BoardAction> actions) {
  for (BoardAction& step : actions) {
    if (auto* pause = std::get_if<Pause>(&step.action)) pause->duration = {};
    if (auto* send = std::get_if<SendBytes>(&step.action)) send->gap = {};
  }
  return actions;
}

// The bytes the board sent, framed into reports by the driver's own framer, as tokens in order with the
// script's marks, unplugs and replugs: "stroke" (pen-down reports ended by a pen-up), "hold" (one that
// never moved), "press N", "release N". Bytes that frame no report are dropped, as the driver drops them.
class SentTokens {
 public:
  void Sent(const Bytes& bytes) {
    for (const std::uint8_t byte : bytes) {
      *velno::ReadTarget(framer_) = byte;
      if (velno::TakeRead(framer_, 1)) Take(framer_.buffer);
    }
  }

  void Event(const std::string& token) { tokens_.push_back(token); }

  std::vector<std::string> Tokens() const { return tokens_; }

 private:
  void Take(const velno::BoardReport& report) {
    const std::uint8_t lead = report[0];
    if (lead == kPenDownLead || lead == kPenUpLead) {
      places_.insert({report[1], report[2], report[3], report[4]});
      if (lead == kPenUpLead) {
        Event(places_.size() == 1 ? "hold" : "stroke");
        places_.clear();
      }
    } else if (lead < kButtonReleaseLead) {
      Event("press " + std::to_string(lead - kButtonPressLead));
    } else {
      Event("release " + std::to_string(lead - kButtonReleaseLead));
    }
  }

  velno::ReportFramer framer_;
  std::set<Bytes> places_;
  std::vector<std::string> tokens_;
};

// The tokens of a simulator log: its "tx" lines and its mark, unplug and replug events.
std::vector<std::string> SentTokensOfLog(const fs::path& log) {
  SentTokens tokens;
  std::istringstream lines(ReadText(log));
  for (std::string line; std::getline(lines, line);) {
    std::istringstream words(line);
    std::string stamp, kind, word;
    words >> stamp >> kind;
    if (kind == "tx") {
      Bytes bytes;
      while (words >> word) bytes.push_back(static_cast<std::uint8_t>(std::stoi(word, nullptr, 16)));
      tokens.Sent(bytes);
    } else if (kind == "event" && words >> word && (word == "mark" || word == "unplug" || word == "replug")) {
      // "mark TEXT" whole; "unplug line=N" and "replug line=N pty=..." by their word.
      tokens.Event(word == "mark" ? line.substr(line.find(" mark ") + 1) : word);
    }
  }
  return tokens.Tokens();
}

// The host's end of a port, after it has written `keepAliveBytes` 0xEE bytes as a driver polls. It
// reads nothing: the simulator's log has what was sent.
int OpenHostAndSendKeepAlives(const std::string& slavePath, int keepAliveBytes) {
  const int fd = ::open(slavePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  const Bytes keepAlive(keepAliveBytes, kHandshakeRequest);
  EXPECT_EQ(::write(fd, keepAlive.data(), keepAlive.size()), keepAliveBytes) << slavePath;
  return fd;
}

TEST(BoardSimExamples, EachScriptPlaysToItsEndAndSendsWhatItsCommentSays) {
  const std::map<std::string, std::vector<std::string>> expected = {
      {"framing_faults.board",
       {"mark junk", "stroke", "mark split", "stroke", "mark bad-checksum", "stroke", "mark stray-answer", "stroke"}},
      {"hardware_buttons.board", {"stroke", "mark buttons", "press 0", "release 0", "press 15", "release 15"}},
      {"long_press.board", {"mark long-press", "hold"}},
      {"silent_board.board", {"mark silent"}},
      {"strokes.board", {"mark strokes", "stroke", "stroke", "stroke"}},
      {"unplug_replug.board", {"stroke", "mark unplug", "unplug", "mark replug", "replug", "stroke"}},
  };
  std::string pattern = (fs::temp_directory_path() / "board-sim-examples-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  const fs::path dir = pattern;

  std::set<std::string> played;
  for (const auto& entry : fs::directory_iterator(fs::path(VELNO_TEST_DATA_DIR) / "scripts")) {
    const std::string name = entry.path().filename().string();
    if (entry.path().extension() != ".board") continue;
    SCOPED_TRACE(name);
    const fs::path logPath = dir / (name + ".log");
    {
      EventLog log(logPath);
      BoardLink link(log, AnswerMode::Normal);
      // Three at the start (a wait-handshake takes one, silent_board's wait-bytes 3 counts them all), one on
      // each new port for its wait-handshake.
      std::vector<int> hosts{OpenHostAndSendKeepAlives(link.SlavePath(), 3)};
      const auto onPortChanged = [&hosts](const std::string& path) {
        if (!path.empty()) hosts.push_back(OpenHostAndSendKeepAlives(path, 1));
      };
      std::vector<BoardAction> actions;
      try {
        actions = WithoutPauses(ParseBoardScript(ReadText(entry.path())));
      } catch (const ScriptError& error) {
        ADD_FAILURE() << error.what();
      }
      const PlayResult result = PlayScript(actions, link, log, onPortChanged);
      EXPECT_EQ(result.outcome, PlayOutcome::Finished) << "line " << result.line;
      for (const int fd : hosts) ::close(fd);
    }
    const auto wanted = expected.find(name);
    if (wanted == expected.end()) {
      ADD_FAILURE() << "an example without its expected tokens";
    } else {
      EXPECT_EQ(SentTokensOfLog(logPath), wanted->second);
    }
    played.insert(name);
  }
  EXPECT_EQ(played.size(), expected.size());
  fs::remove_all(dir);
}

}  // namespace
}  // namespace board_sim
