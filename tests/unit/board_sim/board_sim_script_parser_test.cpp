#include <gtest/gtest.h>

#include "board_sim/report_encoder.h"
#include "board_sim/script_parser.h"

namespace board_sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes PenBytes(Pen pen, int x, int y) {
  const Report r = EncodePenReport(pen, x, y);
  return {r.begin(), r.end()};
}

// The bytes of every send, in order.
std::vector<Bytes> SentBytes(const std::vector<BoardAction>& actions) {
  std::vector<Bytes> sent;
  for (const BoardAction& a : actions) {
    if (const auto* send = std::get_if<SendBytes>(&a.action)) sent.push_back(send->bytes);
  }
  return sent;
}

TEST(BoardSimScriptParser, PenCommandsSendReportsAtTheDefaultRate) {
  const std::vector<BoardAction> actions = ParseBoardScript(
      "# a comment line\n"
      "\n"
      "down 11068 2330   # trailing comment\n"
      "\tmove 1 2\r\n"
      "up\n"
      "up 7 8\n");
  ASSERT_EQ(actions.size(), 4u);
  EXPECT_EQ(actions[0].line, 3);
  EXPECT_EQ(actions[1].line, 4);
  EXPECT_EQ(actions[3].line, 6);
  EXPECT_EQ(std::get<SendBytes>(actions[0].action),
            (SendBytes{{0xFA, 0x12, 0x34, 0x56, 0x78, 0xF2}, microseconds(10'000)}));
  EXPECT_EQ(SentBytes(actions),
            (std::vector<Bytes>{PenBytes(Pen::Down, 11068, 2330), PenBytes(Pen::Down, 1, 2), PenBytes(Pen::Up, 1, 2),
                                PenBytes(Pen::Up, 7, 8)}));
}

TEST(BoardSimScriptParser, RateSetsTheGapOfLaterSends) {
  const std::vector<BoardAction> actions = ParseBoardScript("down 0 0\nrate 50\ndown 0 0\nrate 1000\nraw 00\n");
  ASSERT_EQ(actions.size(), 3u);
  EXPECT_EQ(std::get<SendBytes>(actions[0].action).gap, microseconds(10'000));
  EXPECT_EQ(std::get<SendBytes>(actions[1].action).gap, microseconds(20'000));
  EXPECT_EQ(std::get<SendBytes>(actions[2].action).gap, microseconds(1'000));
}

TEST(BoardSimScriptParser, LineIsDownEvenMovesAndUp) {
  EXPECT_EQ(SentBytes(ParseBoardScript("line 0 0 100 10 3")),
            (std::vector<Bytes>{PenBytes(Pen::Down, 0, 0), PenBytes(Pen::Down, 33, 3), PenBytes(Pen::Down, 67, 7),
                                PenBytes(Pen::Down, 100, 10), PenBytes(Pen::Up, 100, 10)}));
  EXPECT_EQ(SentBytes(ParseBoardScript("line 32767 5 0 5 2")),
            (std::vector<Bytes>{PenBytes(Pen::Down, 32767, 5), PenBytes(Pen::Down, 16384, 5),
                                PenBytes(Pen::Down, 0, 5), PenBytes(Pen::Up, 0, 5)}));
  // A later bare 'up' lifts the pen where the line ended.
  EXPECT_EQ(SentBytes(ParseBoardScript("line 1 2 3 4 1\nup")).back(), PenBytes(Pen::Up, 3, 4));
}

TEST(BoardSimScriptParser, HoldRepeatsThePositionForItsDuration) {
  EXPECT_EQ(SentBytes(ParseBoardScript("hold 5 6 250")), std::vector<Bytes>(25, PenBytes(Pen::Down, 5, 6)));
  EXPECT_EQ(SentBytes(ParseBoardScript("rate 20\nhold 5 6 1000")).size(), 20u);
  EXPECT_EQ(SentBytes(ParseBoardScript("hold 5 6 0")).size(), 1u);
}

TEST(BoardSimScriptParser, ButtonsRawAndCorruptReports) {
  const std::vector<Bytes> sent =
      SentBytes(ParseBoardScript("press 0\nrelease 15\nraw 00 fa 0x13 7\nbad-checksum 11068 2330\n"));
  ASSERT_EQ(sent.size(), 4u);
  EXPECT_EQ(sent[0], (Bytes{0xA1, 0, 0, 0, 0, 0xA1}));
  EXPECT_EQ(sent[1], (Bytes{0xD0, 0, 0, 0, 0, 0xD0}));
  EXPECT_EQ(sent[2], (Bytes{0x00, 0xFA, 0x13, 0x07}));
  EXPECT_EQ(sent[3], (Bytes{0xFA, 0x12, 0x34, 0x56, 0x78, 0xF2 ^ 0xFF}));
}

TEST(BoardSimScriptParser, SplitSendsHeadPauseAndTailAtOnce) {
  const std::vector<BoardAction> actions = ParseBoardScript("split 11068 2330 2 40");
  ASSERT_EQ(actions.size(), 3u);
  EXPECT_EQ(std::get<SendBytes>(actions[0].action), (SendBytes{{0xFA, 0x12}, microseconds(10'000)}));
  EXPECT_EQ(std::get<Pause>(actions[1].action), Pause{milliseconds(40)});
  EXPECT_EQ(std::get<SendBytes>(actions[2].action), (SendBytes{{0x34, 0x56, 0x78, 0xF2}, microseconds(0)}));
}

TEST(BoardSimScriptParser, ControlCommands) {
  const std::vector<BoardAction> actions = ParseBoardScript(
      "wait-handshake\nwait-handshake 500\nwait-bytes 3\nwait-bytes 1 20\nwait-file /tmp/go 40\npause 15\nflush\n"
      "answer silent\nanswer wrong\nanswer normal\nunplug\nanswer silent\nmark  phase   two \npause 1\nreplug\n");
  const std::vector<Action> expected = {WaitHandshake{milliseconds(30'000)},
                                        WaitHandshake{milliseconds(500)},
                                        WaitBytes{3, milliseconds(30'000)},
                                        WaitBytes{1, milliseconds(20)},
                                        WaitForFile{"/tmp/go", milliseconds(40), {}, microseconds(0)},
                                        Pause{milliseconds(15)},
                                        FlushUnread{},
                                        SetAnswerMode{AnswerMode::Silent},
                                        SetAnswerMode{AnswerMode::Wrong},
                                        SetAnswerMode{AnswerMode::Normal},
                                        Unplug{},
                                        SetAnswerMode{AnswerMode::Silent},
                                        Mark{"phase two"},
                                        Pause{milliseconds(1)},
                                        Replug{}};
  ASSERT_EQ(actions.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(actions[i].action, expected[i]) << "action " << i;
    EXPECT_EQ(actions[i].line, static_cast<int>(i) + 1);
  }
}

struct BadScript {
  const char* text;
  int line;
  const char* message;  // part of what()
};

TEST(BoardSimScriptParser, MistakesAreReportedWithTheirLine) {
  const BadScript cases[] = {
      {"jump 1 2", 1, "unknown command 'jump'"},
      {"down 1 1\n\n# fine so far\ndown 1", 4, "'down' takes X Y"},
      {"down 32768 0", 1, "X must be an integer from 0 to 32767, not '32768'"},
      {"down 0 -1", 1, "Y must be an integer"},
      {"down 1x 0", 1, "not '1x'"},
      {"down 1 2 3", 1, "takes X Y"},
      {"up 5", 1, "'up' takes X Y, or nothing"},
      {"press 1\nup", 2, "needs an earlier pen position"},
      {"press 16", 1, "button must be an integer from 0 to 15"},
      {"raw 00 GG", 1, "'GG' is not a hex byte"},
      {"raw 123", 1, "'123' is not a hex byte"},
      {"raw", 1, "'raw' takes HEX..."},
      {"rate 0", 1, "HZ must be"},
      {"line 0 0 1 1 0", 1, "N must be"},
      {"split 1 1 6 10", 1, "K must be an integer from 1 to 5"},
      {"answer loud", 1, "normal, silent or wrong"},
      {"flush now", 1, "'flush' takes no arguments"},
      {"replug", 1, "needs an earlier unplug"},
      {"unplug\ndown 1 1", 2, "'down' while the board is unplugged"},
      {"unplug\nwait-handshake", 2, "while the board is unplugged"},
      {"unplug\nunplug", 2, "while the board is unplugged"},
      {"pause 99999999999", 1, "MS must be"},
      {"mark", 1, "'mark' takes TEXT..."},
  };
  for (const BadScript& c : cases) {
    try {
      ParseBoardScript(c.text);
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const ScriptError& error) {
      EXPECT_EQ(error.Line(), c.line) << c.text;
      EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << c.text << " -> " << error.what();
      EXPECT_TRUE(std::string(error.what()).starts_with("line " + std::to_string(c.line) + ": ")) << error.what();
    }
  }
}

}  // namespace
}  // namespace board_sim
