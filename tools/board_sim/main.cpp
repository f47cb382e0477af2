// board-sim: the whiteboard on a pseudo-terminal, for tests of the pen driver under Wine.
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

#include "atomic_replace.h"
#include "simulated_link.h"
#include "event_log.h"
#include "options.h"
#include "script_parser.h"
#include "script_player.h"
#include "wine_serial_port.h"

namespace board_sim {
namespace {

constexpr int kExitUsage = 1;
constexpr int kExitSetup = 2;
constexpr int kExitWaitTimedOut = 3;
constexpr int kExitSendFailed = 4;

std::atomic<EventLog*> logForSignals{nullptr};

sigset_t StopSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGHUP);
  return set;
}

// The signals stay blocked in every thread; this one takes them and ends the process at once,
// wherever the script is. The kernel closing the master is the board going away.
void WaitForStopSignal() {
  const sigset_t set = StopSignals();
  int signal = 0;
  while (sigwait(&set, &signal) != 0) {
  }
  if (EventLog* log = logForSignals.load()) log->Event("stopped signal=" + std::to_string(signal));
  _exit(0);
}

std::vector<BoardAction> LoadScript(const std::filesystem::path& file) {
  std::ifstream in(file);
  if (!in) throw UsageError("cannot read script " + file.string());
  std::ostringstream text;
  text << in.rdbuf();
  try {
    return ParseBoardScript(text.str());
  } catch (const ScriptError& error) {
    throw UsageError(file.string() + ": " + error.what());
  }
}

void Register(const Options& options) {
  const std::string wine = options.wine.empty() ? DefaultWineProgram() : options.wine;
  const std::vector<std::string> command = SerialCommRegistrationCommand(wine, options.deviceName, options.comName);
  if (options.printRegistration) std::cout << ShellCommandLine(options.prefix, command) << std::endl;
  if (!options.registerPort) return;
  if (!WineserverRunning(options.prefix)) {
    std::cerr << "board-sim: warning: no wineserver runs for " << options.prefix.string()
              << "; the registry value lasts only as long as the server reg starts\n";
  }
  const CommandResult result = RunWineCommand(options.prefix, command);
  if (result.exitCode != 0) {
    throw std::runtime_error("registering " + options.comName + " failed (exit " +
                             std::to_string(result.exitCode) + "): " + result.output);
  }
}

// A path no terminal ever has (nothing but the kernel creates entries under /dev/pts).
constexpr char kNoDevice[] = "/dev/pts/no-board";

// Points the COM link at the terminal, or with an empty path at no device. A link left on a closed
// terminal would lead a driver still searching to whatever board of another test gets its number next.
void PublishPort(const Options& options, const std::string& slavePath) {
  if (options.prefix.empty()) return;
  ReplaceSymlink(ComLinkPath(options.prefix, options.comName), slavePath.empty() ? kNoDevice : slavePath);
}

void AnnounceReady(const Options& options, const std::string& slavePath) {
  if (!options.readyFile.empty()) ReplaceFileContents(options.readyFile, slavePath + "\n");
}

int ExitCodeOf(PlayOutcome outcome) {
  switch (outcome) {
    case PlayOutcome::Finished:
      return 0;
    case PlayOutcome::WaitTimedOut:
      return kExitWaitTimedOut;
    case PlayOutcome::SendFailed:
      return kExitSendFailed;
  }
  return kExitSetup;
}

int Run(const Options& options, const std::vector<BoardAction>& actions) {
  EventLog log(options.log);
  logForSignals = &log;
  BoardLink link(log, options.answerMode);
  const std::string slavePath = link.SlavePath();
  log.Event("start pty=" + slavePath);
  PublishPort(options, slavePath);
  Register(options);
  AnnounceReady(options, slavePath);
  log.Event("ready");
  std::cerr << "board-sim: board on " << slavePath;
  if (!options.prefix.empty()) std::cerr << " as " << ComLinkPath(options.prefix, options.comName).string();
  std::cerr << std::endl;

  if (options.script.empty() && !options.holdMs) {
    while (true) std::this_thread::sleep_for(std::chrono::hours(24));
  }
  const PlayResult result = PlayScript(actions, link, log, [&](const std::string& path) {
    PublishPort(options, path);
    if (!path.empty()) AnnounceReady(options, path);
  });
  if (result.outcome != PlayOutcome::Finished) {
    std::cerr << "board-sim: " << options.script.string() << ": line " << result.line
              << (result.outcome == PlayOutcome::WaitTimedOut ? ": wait timed out\n" : ": send failed\n");
  } else if (options.holdMs) {
    std::this_thread::sleep_for(std::chrono::milliseconds(*options.holdMs));
  }
  PublishPort(options, "");
  log.Event("end");
  logForSignals = nullptr;
  return ExitCodeOf(result.outcome);
}

}  // namespace
}  // namespace board_sim

int main(int argc, char** argv) {
  using namespace board_sim;
  const sigset_t stopSignals = StopSignals();
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);  // before any thread starts, so all inherit it
  std::thread(WaitForStopSignal).detach();

  Options options;
  std::vector<BoardAction> actions;
  try {
    options = ParseOptions({argv + 1, static_cast<std::size_t>(argc - 1)});
    if (options.help) {
      std::cout << HelpText();
      return 0;
    }
    // Wine accepts only an absolute WINEPREFIX.
    if (!options.prefix.empty()) options.prefix = std::filesystem::absolute(options.prefix);
    if (!options.script.empty()) actions = LoadScript(options.script);
  } catch (const UsageError& error) {
    std::cerr << "board-sim: " << error.what() << "\nTry board-sim --help.\n";
    return kExitUsage;
  }
  try {
    return Run(options, actions);
  } catch (const std::exception& error) {
    std::cerr << "board-sim: " << error.what() << std::endl;
    return kExitSetup;
  }
}
