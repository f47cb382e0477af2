#include "options.h"

#include <charconv>
#include <string_view>

#include "script_parser.h"
#include "wine_serial_port.h"

namespace board_sim {

namespace {

int Milliseconds(std::string_view option, std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 0) {
    throw UsageError(std::string(option) + " needs milliseconds, not '" + std::string(text) + "'");
  }
  return value;
}

void Check(const Options& options) {
  if (!IsComName(options.comName)) throw UsageError("--com needs a name like COM5, not '" + options.comName + "'");
  if (options.registerPort && options.prefix.empty()) throw UsageError("--register needs --prefix");
  if (options.deviceName.empty()) throw UsageError("--device-name must not be empty");
}

}  // namespace

Options ParseOptions(std::span<const char* const> args) {
  Options options;
  bool answerChosen = false;
  const auto chooseAnswer = [&](AnswerMode mode) {
    if (answerChosen) throw UsageError("--silent and --wrong-answer exclude each other");
    answerChosen = true;
    options.answerMode = mode;
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string_view option = args[i];
    std::optional<std::string_view> inlineValue;
    if (const std::size_t eq = option.find('='); option.starts_with("--") && eq != std::string_view::npos) {
      inlineValue = option.substr(eq + 1);
      option = option.substr(0, eq);
    }
    const auto value = [&]() -> std::string {
      if (inlineValue) return std::string(*inlineValue);
      if (i + 1 >= args.size()) throw UsageError(std::string(option) + " needs a value");
      return args[++i];
    };
    const auto noValue = [&] {
      if (inlineValue) throw UsageError(std::string(option) + " takes no value");
    };
    if (option == "--help" || option == "-h") {
      noValue();
      options.help = true;
    } else if (option == "--prefix") {
      options.prefix = value();
    } else if (option == "--com") {
      options.comName = value();
    } else if (option == "--device-name") {
      options.deviceName = value();
    } else if (option == "--register") {
      noValue();
      options.registerPort = true;
    } else if (option == "--print-register") {
      noValue();
      options.printRegistration = true;
    } else if (option == "--wine") {
      options.wine = value();
    } else if (option == "--script") {
      options.script = value();
    } else if (option == "--log") {
      options.log = value();
    } else if (option == "--ready-file") {
      options.readyFile = value();
    } else if (option == "--silent") {
      noValue();
      chooseAnswer(AnswerMode::Silent);
    } else if (option == "--wrong-answer") {
      noValue();
      chooseAnswer(AnswerMode::Wrong);
    } else if (option == "--hold") {
      options.holdMs = Milliseconds(option, value());
    } else {
      throw UsageError("unknown option '" + std::string(args[i]) + "'");
    }
  }
  if (!options.help) Check(options);
  return options;
}

std::string HelpText() {
  return R"(Usage: board-sim [OPTIONS]

Simulates the whiteboard on a serial port for the pen driver running under Wine. It opens a
pseudo-terminal (slave in raw mode, held open for the whole run), points a COM name of a Wine prefix
at it, answers every handshake byte 0xEE from the host with 0xDD, and plays a script of pen reports.
Without --script it only answers handshakes, until SIGINT or SIGTERM (then it exits with 0).

Options:
  --prefix DIR         Wine prefix: DIR/dosdevices/comN becomes a symlink to the pty (replaced
                       atomically); without it, no link is made (the pty path is in the log and
                       the ready file)
  --com NAME           COM name of the link and the registry value (default COM5)
  --device-name NAME   registry value name (default \Device\silabser0)
  --register           add NAME = COMn under HKLM\HARDWARE\DEVICEMAP\SERIALCOMM with `wine64 reg add`
                       (WINEPREFIX=DIR, output to a temporary file). The key is volatile: start
                       `wineserver -p` for the prefix first, or the value is gone when the server
                       that reg starts exits
  --print-register     print that reg command on stdout (whether or not --register is given)
  --wine PROGRAM       program used for reg (default wine64 from PATH, else /usr/lib/wine/wine64)
  --script FILE        script to play (format below); the program ends when it ends
  --hold MS            keep the pty open MS milliseconds after the script (default 0)
  --log FILE           record of the link (format below)
  --ready-file FILE    written (atomically) with the pty path and a newline once the pty is open,
                       linked and registered; rewritten after each replug
  --silent             never answer 0xEE
  --wrong-answer       answer 0xEE with 0x55 instead of 0xDD
  --help               this text

Reports (six bytes): lead, Y high, Y low, X high, X low, XOR of bytes 0 to 4. X and Y are board
units 0..32767 sent shifted left by one. Lead 0xFA pen down (on the surface), 0xFC pen up,
0xA1+N button N pressed, 0xC1+N released (N 0..15; the other bytes 0).
Example: down 11068 2330 sends FA 12 34 56 78 F2.

)" + ScriptFormatHelp() +
         R"(
Example script:
  wait-handshake 20000    # the driver found the board
  pause 300               # ... and started reading
  rate 100
  line 1000 1000 30000 1000 50
  press 0
  release 0
  raw 00 13 37            # junk
  unplug
  pause 2000
  replug
  wait-handshake

Log: one line per record, fields separated by one space, flushed at once; the first field is
CLOCK_MONOTONIC in microseconds (Python: time.monotonic_ns() // 1000):
  T rx EE                   each byte received, one line per byte
  T answer DD               an answer to 0xEE, stamped after it was written
  T tx FA 12 34 56 78 F2    bytes sent by the script, stamped after the last one was written
  T event WORD [DETAILS]    start pty=P, ready, handshake line=L, unplug line=L, replug line=L pty=P,
                            mark TEXT, wait-handshake-timeout line=L, wait-bytes-timeout line=L,
                            send-failed line=L, stopped signal=S, end

Exit status: 0 script played (or stopped by a signal), 1 bad option or script, 2 pty, link or
registry failure, 3 a wait timed out, 4 a send failed (the host left the queue full for 2 s).
)";
}

}  // namespace board_sim
