// The command line of board-sim.
#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>

#include "handshake_answer.h"

namespace board_sim {

struct Options {
  std::filesystem::path prefix;  // Wine prefix whose COM link is pointed at the pty; empty: none
  std::string comName = "COM5";
  std::string deviceName = R"(\Device\silabser0)";
  bool registerPort = false;      // run `wine reg add` for the SERIALCOMM value
  bool printRegistration = false; // print that command instead of (or besides) running it
  std::string wine;               // program for `reg add`; empty: DefaultWineProgram()
  std::filesystem::path script;   // empty: answer handshakes until stopped
  std::filesystem::path log;
  std::filesystem::path readyFile;
  AnswerMode answerMode = AnswerMode::Normal;
  std::optional<int> holdMs;      // after the script
  bool help = false;
};

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// `args` without the program name. Throws UsageError.
Options ParseOptions(std::span<const char* const> args);

std::string HelpText();

}  // namespace board_sim
