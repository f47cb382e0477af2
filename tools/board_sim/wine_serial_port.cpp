#include "wine_serial_port.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

extern char** environ;

namespace board_sim {

namespace {

bool IsShellSafe(std::string_view word) {
  return !word.empty() && std::all_of(word.begin(), word.end(), [](unsigned char c) {
    return std::isalnum(c) || std::string_view("_-+=/.,:@%").find(static_cast<char>(c)) != std::string_view::npos;
  });
}

std::string ShellQuoted(std::string_view word) {
  if (IsShellSafe(word)) return std::string(word);
  std::string quoted = "'";
  for (const char c : word) quoted += c == '\'' ? std::string(R"('\'')") : std::string(1, c);
  return quoted + "'";
}

bool IsExecutable(const std::filesystem::path& file) { return ::access(file.c_str(), X_OK) == 0; }

std::vector<std::string> WineEnvironment(const std::filesystem::path& prefix) {
  std::vector<std::string> env;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string_view var(*entry);
    if (!var.starts_with("WINEPREFIX=") && !var.starts_with("WINEDEBUG=")) env.emplace_back(var);
  }
  env.push_back("WINEPREFIX=" + prefix.string());
  env.push_back("WINEDEBUG=-all");
  return env;
}

std::vector<char*> PointersTo(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (std::string& s : strings) pointers.push_back(s.data());
  pointers.push_back(nullptr);
  return pointers;
}

int WaitForExit(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

bool IsComName(std::string_view name) {
  if (name.size() < 4 || name.size() > 6) return false;
  const auto lower = [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); };
  if (lower(name[0]) != 'c' || lower(name[1]) != 'o' || lower(name[2]) != 'm' || name[3] == '0') return false;
  return std::all_of(name.begin() + 3, name.end(), [](unsigned char c) { return std::isdigit(c); });
}

std::filesystem::path ComLinkPath(const std::filesystem::path& prefix, std::string_view comName) {
  std::string lower(comName);
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  return prefix / "dosdevices" / lower;
}

std::vector<std::string> SerialCommRegistrationCommand(const std::string& wine, const std::string& deviceName,
                                                       const std::string& comName) {
  return {wine, "reg", "add", std::string(kSerialCommKey), "/v", deviceName, "/t", "REG_SZ", "/d", comName, "/f"};
}

std::string ShellCommandLine(const std::filesystem::path& prefix, const std::vector<std::string>& command) {
  std::string line = "WINEPREFIX=" + ShellQuoted(prefix.string()) + " WINEDEBUG=-all";
  for (const std::string& word : command) line += " " + ShellQuoted(word);
  return line;
}

std::string DefaultWineProgram() {
  if (const char* path = std::getenv("PATH")) {
    std::istringstream dirs(path);
    for (std::string dir; std::getline(dirs, dir, ':');) {
      if (!dir.empty() && IsExecutable(std::filesystem::path(dir) / "wine64")) return "wine64";
    }
  }
  if (IsExecutable("/usr/lib/wine/wine64")) return "/usr/lib/wine/wine64";
  return "wine64";
}

bool WineserverRunning(const std::filesystem::path& prefix) {
  struct stat info {};
  if (::stat(prefix.c_str(), &info) != 0) return false;
  char serverFolder[64];
  std::snprintf(serverFolder, sizeof serverFolder, "server-%llx-%llx", static_cast<unsigned long long>(info.st_dev),
                static_cast<unsigned long long>(info.st_ino));
  // Upstream Wine keeps the server's socket under /tmp/.wine-UID; Debian's build under a private
  // folder (wine-XXXXXX in TMPDIR or /tmp) whose name the prefix's file "wineserver" holds.
  std::vector<std::filesystem::path> parents = {"/tmp/.wine-" + std::to_string(::getuid())};
  std::string privateName;
  if (std::ifstream(prefix / "wineserver") >> privateName) {
    if (const char* tmp = std::getenv("TMPDIR"); tmp != nullptr && *tmp != '\0') {
      parents.push_back(std::filesystem::path(tmp) / privateName);
    }
    parents.push_back(std::filesystem::path("/tmp") / privateName);
  }
  return std::any_of(parents.begin(), parents.end(), [&](const std::filesystem::path& parent) {
    struct stat socketInfo {};
    return ::stat((parent / serverFolder / "socket").c_str(), &socketInfo) == 0 && S_ISSOCK(socketInfo.st_mode);
  });
}

CommandResult RunWineCommand(const std::filesystem::path& prefix, const std::vector<std::string>& command) {
  const char* tmp = std::getenv("TMPDIR");
  std::string outputPath = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/board-sim-wine-XXXXXX";
  const int outputFd = ::mkstemp(outputPath.data());
  if (outputFd < 0) return {-1, "cannot create a temporary file for the output of " + command.front()};

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, outputFd, STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, outputFd, STDERR_FILENO);
  std::vector<std::string> argv = command;
  std::vector<std::string> env = WineEnvironment(prefix);
  pid_t pid = 0;
  const int spawnError =
      posix_spawnp(&pid, argv.front().c_str(), &actions, nullptr, PointersTo(argv).data(), PointersTo(env).data());
  posix_spawn_file_actions_destroy(&actions);
  ::close(outputFd);

  CommandResult result{-1, {}};
  if (spawnError != 0) {
    result.output = "cannot start " + command.front() + ": " + std::strerror(spawnError);
  } else {
    result.exitCode = WaitForExit(pid);
    std::ifstream output(outputPath);
    std::ostringstream text;
    text << output.rdbuf();
    result.output = text.str();
  }
  ::unlink(outputPath.c_str());
  return result;
}

}  // namespace board_sim
