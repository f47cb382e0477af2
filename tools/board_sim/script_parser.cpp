#include "script_parser.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <utility>

#include "report_encoder.h"

namespace board_sim {

namespace {

constexpr int kDefaultRateHz = 100;
constexpr int kMaxRateHz = 10'000;
constexpr int kMaxMilliseconds = 24 * 60 * 60 * 1000;
constexpr int kDefaultWaitMs = 30'000;

struct Position {
  int x;
  int y;
};

// What earlier lines left behind that later lines depend on.
struct CompileState {
  int rateHz = kDefaultRateHz;
  std::optional<Position> lastPen;
  bool plugged = true;
};


// The arguments of one command line.
class Arguments {
 public:
  Arguments(int line, std::vector<std::string_view> words) : line_(line), words_(std::move(words)) {}

  std::size_t Count() const { return words_.size(); }
  int Line() const { return line_; }

  int Integer(std::size_t i, std::string_view name, int min, int max) const {
    const std::string_view word = words_[i];
    int value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size() || value < min || value > max) {
      Fail(std::string(name) + " must be an integer from " + std::to_string(min) + " to " + std::to_string(max) +
           ", not '" + std::string(word) + "'");
    }
    return value;
  }

  int Coordinate(std::size_t i, std::string_view name) const { return Integer(i, name, 0, kMaxBoardCoordinate); }
  Position PositionAt(std::size_t i) const { return {Coordinate(i, "X"), Coordinate(i + 1, "Y")}; }
  int Milliseconds(std::size_t i, std::string_view name) const { return Integer(i, name, 0, kMaxMilliseconds); }

  std::uint8_t HexByte(std::size_t i) const {
    std::string_view word = words_[i];
    if (word.starts_with("0x") || word.starts_with("0X")) word.remove_prefix(2);
    unsigned value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value, 16);
    if (word.empty() || word.size() > 2 || error != std::errc() || end != word.data() + word.size()) {
      Fail("'" + std::string(words_[i]) + "' is not a hex byte");
    }
    return static_cast<std::uint8_t>(value);
  }

  std::string_view Word(std::size_t i) const { return words_[i]; }

  [[noreturn]] void Fail(const std::string& message) const { throw ScriptError(line_, message); }

 private:
  int line_;
  std::vector<std::string_view> words_;
};

class Compiler {
 public:
  explicit Compiler(std::vector<BoardAction>& out) : out_(out) {}

  CompileState& State() { return state_; }

  void Emit(int line, Action action) { out_.emplace_back(line, std::move(action)); }

  void SendPaced(int line, std::vector<std::uint8_t> bytes) {
    Emit(line, SendBytes{std::move(bytes), ReportGap()});
  }

  void SendPen(int line, Pen pen, Position at) {
    const Report report = EncodePenReport(pen, at.x, at.y);
    SendPaced(line, {report.begin(), report.end()});
    state_.lastPen = at;
  }

  microseconds ReportGap() const { return microseconds(1'000'000 / state_.rateHz); }

 private:
  std::vector<BoardAction>& out_;
  CompileState state_;
};

struct ScriptCommand {
  std::string_view name;
  std::string_view arguments;
  std::size_t minArgs;
  std::size_t maxArgs;
  bool needsPlugged;  // sends, waits for or drops bytes
  std::string_view description;
  void (*compile)(const Arguments&, Compiler&);
};

void CompileLine(const Arguments& args, Compiler& c) {
  const Position from = args.PositionAt(0);
  const Position to = args.PositionAt(2);
  const int moves = args.Integer(4, "N", 1, 100'000);
  c.SendPen(args.Line(), Pen::Down, from);
  for (int i = 1; i <= moves; ++i) {
    // Rounded to the nearest board unit; the last move lands exactly on the end point.
    const auto between = [&](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * double(i) / moves)); };
    c.SendPen(args.Line(), Pen::Down, {between(from.x, to.x), between(from.y, to.y)});
  }
  c.SendPen(args.Line(), Pen::Up, to);
}

void CompileHold(const Arguments& args, Compiler& c) {
  const Position at = args.PositionAt(0);
  const long long count = std::max(1LL, static_cast<long long>(args.Milliseconds(2, "MS")) * c.State().rateHz / 1000);
  for (long long i = 0; i < count; ++i) c.SendPen(args.Line(), Pen::Down, at);
}

void CompileUp(const Arguments& args, Compiler& c) {
  if (args.Count() == 1) args.Fail("'up' takes X Y, or nothing");
  if (args.Count() == 2) {
    c.SendPen(args.Line(), Pen::Up, args.PositionAt(0));
  } else if (c.State().lastPen) {
    c.SendPen(args.Line(), Pen::Up, *c.State().lastPen);
  } else {
    args.Fail("'up' without X Y needs an earlier pen position");
  }
}

void CompileButton(const Arguments& args, Compiler& c, bool pressed) {
  const Report report = EncodeButtonReport(args.Integer(0, "button", 0, kButtonCount - 1), pressed);
  c.SendPaced(args.Line(), {report.begin(), report.end()});
}

void CompileRaw(const Arguments& args, Compiler& c) {
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i < args.Count(); ++i) bytes.push_back(args.HexByte(i));
  c.SendPaced(args.Line(), std::move(bytes));
}

void CompileBadChecksum(const Arguments& args, Compiler& c) {
  const Position at = args.PositionAt(0);
  const Report report = WithBadChecksum(EncodePenReport(Pen::Down, at.x, at.y));
  c.SendPaced(args.Line(), {report.begin(), report.end()});
  c.State().lastPen = at;
}

void CompileSplit(const Arguments& args, Compiler& c) {
  const Position at = args.PositionAt(0);
  const int head = args.Integer(2, "K", 1, 5);
  const int pauseMs = args.Milliseconds(3, "MS");
  const Report report = EncodePenReport(Pen::Down, at.x, at.y);
  c.SendPaced(args.Line(), {report.begin(), report.begin() + head});
  c.Emit(args.Line(), Pause{milliseconds(pauseMs)});
  c.Emit(args.Line(), SendBytes{{report.begin() + head, report.end()}, microseconds(0)});
  c.State().lastPen = at;
}

void CompileAnswer(const Arguments& args, Compiler& c) {
  const std::string_view mode = args.Word(0);
  if (mode == "normal") {
    c.Emit(args.Line(), SetAnswerMode{AnswerMode::Normal});
  } else if (mode == "silent") {
    c.Emit(args.Line(), SetAnswerMode{AnswerMode::Silent});
  } else if (mode == "wrong") {
    c.Emit(args.Line(), SetAnswerMode{AnswerMode::Wrong});
  } else {
    args.Fail("'answer' takes normal, silent or wrong, not '" + std::string(mode) + "'");
  }
}

void CompileMark(const Arguments& args, Compiler& c) {
  std::string text(args.Word(0));
  for (std::size_t i = 1; i < args.Count(); ++i) text += " " + std::string(args.Word(i));
  c.Emit(args.Line(), Mark{std::move(text)});
}

milliseconds OptionalTimeout(const Arguments& args, std::size_t i) {
  return milliseconds(args.Count() > i ? args.Milliseconds(i, "TIMEOUT_MS") : kDefaultWaitMs);
}

void CompileHoldUntilFile(const Arguments& args, Compiler& c) {
  const Position at = args.PositionAt(0);
  const Report report = EncodePenReport(Pen::Down, at.x, at.y);
  c.Emit(args.Line(), WaitForFile{std::string(args.Word(2)), OptionalTimeout(args, 3), {report.begin(), report.end()},
                                  c.ReportGap()});
  c.State().lastPen = at;
}

void CompileTapAtFile(const Arguments& args, Compiler& c) {
  const long long milliseconds = args.Milliseconds(1, "MS");
  const int reports = std::max(1, static_cast<int>(milliseconds * c.State().rateHz / 1000));
  c.Emit(args.Line(), TapAtFile{std::string(args.Word(0)), OptionalTimeout(args, 2), reports, c.ReportGap()});
}

const ScriptCommand kCommands[] = {
    {"down", "X Y", 2, 2, true, "pen-down report (lead 0xFA) at X Y; X and Y are board units 0..32767",
     [](const Arguments& a, Compiler& c) { c.SendPen(a.Line(), Pen::Down, a.PositionAt(0)); }},
    {"move", "X Y", 2, 2, true, "the same report as down: the pen moving on the surface",
     [](const Arguments& a, Compiler& c) { c.SendPen(a.Line(), Pen::Down, a.PositionAt(0)); }},
    {"up", "[X Y]", 0, 2, true, "pen-up report (lead 0xFC), by default at the last pen position", CompileUp},
    {"line", "X1 Y1 X2 Y2 N", 5, 5, true,
     "a stroke: down at X1 Y1, N moves evenly spaced to X2 Y2 (the last one on it), up at X2 Y2", CompileLine},
    {"hold", "X Y MS", 3, 3, true,
     "pen-down reports at X Y for MS milliseconds at the report rate (MS*HZ/1000 of them, at least 1)",
     CompileHold},
    {"hold-until-file", "X Y PATH [TIMEOUT_MS]", 3, 4, true,
     "pen-down reports at X Y at the report rate (at least one) until the file PATH exists, e.g. until a test "
     "has seen the next calibration target; fails the run after TIMEOUT_MS (default 30000)",
     CompileHoldUntilFile},
    {"tap-at-file", "PATH MS [TIMEOUT_MS]", 2, 3, true,
     "wait until the file PATH exists, then pen-down reports for MS milliseconds (at least one) at the place it "
     "holds ('X Y'), and a pen-up there: a touch on what a test has seen on the screen; fails the run after "
     "TIMEOUT_MS (default 30000) or when the file holds no place",
     CompileTapAtFile},
    {"press", "N", 1, 1, true, "hardware button N (0..15) pressed: lead 0xA1+N, zeros, checksum",
     [](const Arguments& a, Compiler& c) { CompileButton(a, c, true); }},
    {"release", "N", 1, 1, true, "hardware button N (0..15) released: lead 0xC1+N, zeros, checksum",
     [](const Arguments& a, Compiler& c) { CompileButton(a, c, false); }},
    {"raw", "HEX...", 1, 1024, true, "the bytes as given, e.g. raw 00 FA 12 (junk, partial reports)", CompileRaw},
    {"bad-checksum", "X Y", 2, 2, true, "a pen-down report at X Y whose checksum byte is wrong", CompileBadChecksum},
    {"split", "X Y K MS", 4, 4, true,
     "a pen-down report at X Y sent as its first K bytes (1..5), a pause of MS milliseconds, the rest",
     CompileSplit},
    {"rate", "HZ", 1, 1, false,
     "reports per second from here on (default 100): every send waits 1/HZ s after the previous one",
     [](const Arguments& a, Compiler& c) { c.State().rateHz = a.Integer(0, "HZ", 1, kMaxRateHz); }},
    {"pause", "MS", 1, 1, false, "do nothing for MS milliseconds",
     [](const Arguments& a, Compiler& c) { c.Emit(a.Line(), Pause{milliseconds(a.Milliseconds(0, "MS"))}); }},
    {"wait-handshake", "[TIMEOUT_MS]", 0, 1, true,
     "wait for a 0xEE from the host that no earlier wait-handshake accounted for (returns at once if one came "
     "since the previous wait-handshake, the start or the last replug); the answer is already sent when it "
     "returns. Fails the run after TIMEOUT_MS (default 30000). The host polls every few seconds",
     [](const Arguments& a, Compiler& c) { c.Emit(a.Line(), WaitHandshake{OptionalTimeout(a, 0)}); }},
    {"wait-bytes", "N [TIMEOUT_MS]", 1, 2, true,
     "wait until N bytes have come from the host since the previous wait-bytes, the start or the last replug; "
     "fails the run after TIMEOUT_MS (default 30000)",
     [](const Arguments& a, Compiler& c) {
       c.Emit(a.Line(), WaitBytes{static_cast<std::uint64_t>(a.Integer(0, "N", 1, 1'000'000)), OptionalTimeout(a, 1)});
     }},
    {"wait-file", "PATH [TIMEOUT_MS]", 1, 2, false,
     "wait until the file PATH exists (a test's signal); fails the run after TIMEOUT_MS (default 30000)",
     [](const Arguments& a, Compiler& c) {
       c.Emit(a.Line(), WaitForFile{std::string(a.Word(0)), OptionalTimeout(a, 1), {}, microseconds(0)});
     }},
    {"flush", "", 0, 0, true,
     "drop the bytes sent earlier that the host has not read yet (bytes sent before the host opened the port "
     "wait for it in the queue)",
     [](const Arguments& a, Compiler& c) { c.Emit(a.Line(), FlushUnread{}); }},
    {"answer", "normal|silent|wrong", 1, 1, false,
     "from here on answer 0xEE with 0xDD, not at all, or with 0x55", CompileAnswer},
    {"unplug", "", 0, 0, true,
     "close the pseudo-terminal: the device disappears, the COM link points at no device, the host's reads "
     "return no bytes and its writes fail",
     [](const Arguments& a, Compiler& c) {
       c.Emit(a.Line(), Unplug{});
       c.State().plugged = false;
     }},
    {"replug", "", 0, 0, false, "a new pseudo-terminal; the COM link and the ready file are re-pointed to it",
     [](const Arguments& a, Compiler& c) {
       if (c.State().plugged) a.Fail("'replug' needs an earlier unplug");
       c.Emit(a.Line(), Replug{});
       c.State().plugged = true;
     }},
    {"mark", "TEXT...", 1, 1024, false, "write 'event mark TEXT' to the log", CompileMark},
};

const ScriptCommand* FindCommand(std::string_view name) {
  for (const ScriptCommand& command : kCommands) {
    if (command.name == name) return &command;
  }
  return nullptr;
}

std::vector<std::string_view> SplitWords(std::string_view text) {
  std::vector<std::string_view> words;
  std::size_t pos = 0;
  while (true) {
    pos = text.find_first_not_of(" \t\r\v\f", pos);
    if (pos == std::string_view::npos) break;
    const std::size_t end = std::min(text.find_first_of(" \t\r\v\f", pos), text.size());
    words.push_back(text.substr(pos, end - pos));
    pos = end;
  }
  return words;
}

void CompileCommandLine(int line, std::string_view text, Compiler& compiler) {
  std::vector<std::string_view> words = SplitWords(text.substr(0, text.find('#')));
  if (words.empty()) return;
  const std::string_view name = words.front();
  const ScriptCommand* command = FindCommand(name);
  if (command == nullptr) throw ScriptError(line, "unknown command '" + std::string(name) + "'");
  words.erase(words.begin());
  const Arguments args(line, std::move(words));
  if (args.Count() < command->minArgs || args.Count() > command->maxArgs) {
    args.Fail("'" + std::string(command->name) + "' takes " +
              (command->arguments.empty() ? std::string("no arguments") : std::string(command->arguments)));
  }
  if (command->needsPlugged && !compiler.State().plugged) {
    args.Fail("'" + std::string(command->name) + "' while the board is unplugged");
  }
  command->compile(args, compiler);
}

// Indented by six, lines of at most 100 characters.
std::string WrappedDescription(std::string_view text) {
  constexpr std::size_t kWidth = 94;
  std::string wrapped;
  std::size_t column = kWidth;  // forces the first line break
  for (const std::string_view word : SplitWords(text)) {
    if (column + 1 + word.size() > kWidth) {
      wrapped += "\n      ";
      column = 0;
    } else {
      wrapped += ' ';
      ++column;
    }
    wrapped += word;
    column += word.size();
  }
  return wrapped + "\n";
}

}  // namespace

ScriptError::ScriptError(int line, const std::string& message)
    : std::runtime_error("line " + std::to_string(line) + ": " + message), line_(line) {}

std::vector<BoardAction> ParseBoardScript(std::string_view text) {
  std::vector<BoardAction> actions;
  Compiler compiler(actions);
  int line = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    CompileCommandLine(++line, text.substr(start, end - start), compiler);
    start = end + 1;
  }
  return actions;
}

std::string ScriptFormatHelp() {
  std::string help =
      "Script: one command a line; '#' starts a comment; words are separated by blanks.\n"
      "Positions are board units 0..32767 (sent shifted left by one, Y first); times are milliseconds.\n"
      "The whole script is checked before the run; a mistake is reported with its line number.\n\n";
  for (const ScriptCommand& command : kCommands) {
    help += "  " + std::string(command.name);
    if (!command.arguments.empty()) help += " " + std::string(command.arguments);
    help += WrappedDescription(command.description);
  }
  return help;
}

}  // namespace board_sim
