// How a Wine prefix learns about a serial port: a COM link under dosdevices pointing at the device,
// and a value under HKLM\HARDWARE\DEVICEMAP\SERIALCOMM naming the device and its COM name.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace board_sim {

inline constexpr std::string_view kSerialCommKey = R"(HKLM\HARDWARE\DEVICEMAP\SERIALCOMM)";

// "COM" (any case) followed by 1 to 3 digits, the first not 0.
bool IsComName(std::string_view name);

// $prefix/dosdevices/comN, the name in lower case as Wine keeps it.
std::filesystem::path ComLinkPath(const std::filesystem::path& prefix, std::string_view comName);

// wine reg add <SERIALCOMM> /v <deviceName> /t REG_SZ /d <comName> /f
std::vector<std::string> SerialCommRegistrationCommand(const std::string& wine, const std::string& deviceName,
                                                       const std::string& comName);

// The command as one line for a POSIX shell, with WINEPREFIX and WINEDEBUG set in front of it.
std::string ShellCommandLine(const std::filesystem::path& prefix, const std::vector<std::string>& command);

// wine64 from PATH, else /usr/lib/wine/wine64 (where Debian keeps it), else "wine64".
std::string DefaultWineProgram();

// The key is volatile: it lives only as long as the prefix's wineserver, which must already run
// (started with `wineserver -p`), or the value is gone when the server that `reg` started exits.
bool WineserverRunning(const std::filesystem::path& prefix);

struct CommandResult {
  int exitCode;        // -1 when the program could not be started or was killed by a signal
  std::string output;  // stdout and stderr together
};

// Runs the command with WINEPREFIX=prefix and WINEDEBUG=-all and waits for it. Its output goes to a
// temporary file, not a pipe: a Wine child such as wineserver could hold a pipe open for ever.
CommandResult RunWineCommand(const std::filesystem::path& prefix, const std::vector<std::string>& command);

}  // namespace board_sim
