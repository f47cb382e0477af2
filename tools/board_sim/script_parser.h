// Board scripts: plain text, one command a line, '#' starts a comment. ParseBoardScript compiles a
// whole script before anything is played, so a mistake is reported with its line before the run.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "board_actions.h"

namespace board_sim {

class ScriptError : public std::runtime_error {
 public:
  ScriptError(int line, const std::string& message);
  int Line() const { return line_; }

 private:
  int line_;
};

// Throws ScriptError, whose what() reads "line N: ...".
std::vector<BoardAction> ParseBoardScript(std::string_view text);

// The script format, command by command, for --help.
std::string ScriptFormatHelp();

}  // namespace board_sim
