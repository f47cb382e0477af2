#include <gtest/gtest.h>

#include <vector>

#include "board_sim/options.h"

namespace board_sim {
namespace {

Options Parse(std::vector<const char*> args) { return ParseOptions(args); }

TEST(BoardSimOptions, DefaultsAnswerHandshakesOnCom5) {
  const Options options = Parse({});
  EXPECT_EQ(options.comName, "COM5");
  EXPECT_EQ(options.deviceName, R"(\Device\silabser0)");
  EXPECT_EQ(options.answerMode, AnswerMode::Normal);
  EXPECT_TRUE(options.prefix.empty());
  EXPECT_TRUE(options.script.empty());
  EXPECT_FALSE(options.registerPort);
  EXPECT_FALSE(options.holdMs);
}

TEST(BoardSimOptions, EveryOptionInBothSpellings) {
  const Options options = Parse({"--prefix", "/p", "--com=COM12", "--device-name", R"(\Device\slabser3)",
                                 "--register", "--print-register", "--wine=/opt/wine64", "--script", "s.board",
                                 "--log=l.txt", "--ready-file", "r", "--silent", "--hold", "250"});
  EXPECT_EQ(options.prefix, "/p");
  EXPECT_EQ(options.comName, "COM12");
  EXPECT_EQ(options.deviceName, R"(\Device\slabser3)");
  EXPECT_TRUE(options.registerPort);
  EXPECT_TRUE(options.printRegistration);
  EXPECT_EQ(options.wine, "/opt/wine64");
  EXPECT_EQ(options.script, "s.board");
  EXPECT_EQ(options.log, "l.txt");
  EXPECT_EQ(options.readyFile, "r");
  EXPECT_EQ(options.answerMode, AnswerMode::Silent);
  EXPECT_EQ(options.holdMs, 250);
  EXPECT_EQ(Parse({"--wrong-answer"}).answerMode, AnswerMode::Wrong);
  EXPECT_TRUE(Parse({"--help", "--com", "nonsense"}).help);
}

TEST(BoardSimOptions, MistakesAreUsageErrors) {
  const std::vector<std::vector<const char*>> bad = {
      {"--frobnicate"},
      {"--script"},
      {"--com", "LPT1"},
      {"--com", "COM0"},
      {"--register"},
      {"--silent", "--wrong-answer"},
      {"--hold", "-5"},
      {"--hold", "soon"},
      {"--silent=yes"},
      {"--device-name="},
  };
  for (const auto& args : bad) {
    EXPECT_THROW(Parse(args), UsageError) << args.front();
  }
}

}  // namespace
}  // namespace board_sim
