#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "board_sim/wine_serial_port.h"

namespace board_sim {
namespace {

TEST(BoardSimWineSerialPort, ComNames) {
  for (const char* good : {"COM1", "com5", "Com12", "COM256"}) EXPECT_TRUE(IsComName(good)) << good;
  for (const char* bad : {"COM", "COM0", "COM05", "COMX", "LPT1", "COM1234", " COM5", "COM5 "}) {
    EXPECT_FALSE(IsComName(bad)) << bad;
  }
  EXPECT_EQ(ComLinkPath("/tmp/prefix", "COM5"), std::filesystem::path("/tmp/prefix/dosdevices/com5"));
}

TEST(BoardSimWineSerialPort, RegistrationCommandQuotesForTheShell) {
  const std::vector<std::string> command = SerialCommRegistrationCommand("wine64", R"(\Device\silabser0)", "COM5");
  EXPECT_EQ(command, (std::vector<std::string>{"wine64", "reg", "add", R"(HKLM\HARDWARE\DEVICEMAP\SERIALCOMM)", "/v",
                                               R"(\Device\silabser0)", "/t", "REG_SZ", "/d", "COM5", "/f"}));
  EXPECT_EQ(ShellCommandLine("/tmp/my prefix/it's", command),
            R"(WINEPREFIX='/tmp/my prefix/it'\''s' WINEDEBUG=-all wine64 reg add 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM')"
            R"( /v '\Device\silabser0' /t REG_SZ /d COM5 /f)");
}

TEST(BoardSimWineSerialPort, WineCommandRunsInThePrefixWithItsOutputCaptured) {
  const CommandResult result =
      RunWineCommand("/some/prefix", {"/bin/sh", "-c", "echo \"$WINEPREFIX $WINEDEBUG $1\"; echo oops >&2; exit 3",
                                      "sh", "arg"});
  EXPECT_EQ(result.exitCode, 3);
  EXPECT_EQ(result.output, "/some/prefix -all arg\noops\n");

  const CommandResult missing = RunWineCommand("/some/prefix", {"/nonexistent/wine64", "reg"});
  EXPECT_EQ(missing.exitCode, -1);
  EXPECT_NE(missing.output.find("/nonexistent/wine64"), std::string::npos);
}

// Debian's wineserver: the prefix names a private folder under TMPDIR that holds server-DEV-INODE/socket.
TEST(BoardSimWineSerialPort, WineserverIsFoundThroughThePrefixsPrivateFolder) {
  namespace fs = std::filesystem;
  std::string pattern = (fs::temp_directory_path() / "board-sim-wine-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  const fs::path tmp = pattern;
  const fs::path prefix = tmp / "prefix";
  fs::create_directory(prefix);
  std::ofstream(prefix / "wineserver") << "wine-Ab12Cd";
  struct stat info {};
  ASSERT_EQ(::stat(prefix.c_str(), &info), 0);
  char serverFolder[64];
  std::snprintf(serverFolder, sizeof serverFolder, "server-%llx-%llx", static_cast<unsigned long long>(info.st_dev),
                static_cast<unsigned long long>(info.st_ino));
  const fs::path folder = tmp / "wine-Ab12Cd" / serverFolder;
  fs::create_directories(folder);

  const char* savedTmp = std::getenv("TMPDIR");
  const std::string saved = savedTmp != nullptr ? savedTmp : "";
  ::setenv("TMPDIR", tmp.c_str(), 1);
  const bool withoutSocket = WineserverRunning(prefix);
  std::ofstream(folder / "socket") << "";  // a plain file is no server
  const bool withPlainFile = WineserverRunning(prefix);
  fs::remove(folder / "socket");
  const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string socketPath = (folder / "socket").string();
  ASSERT_LT(socketPath.size(), sizeof address.sun_path);
  std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
  ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  const bool withSocket = WineserverRunning(prefix);
  ::close(listener);
  if (savedTmp != nullptr) {
    ::setenv("TMPDIR", saved.c_str(), 1);
  } else {
    ::unsetenv("TMPDIR");
  }
  fs::remove_all(tmp);

  EXPECT_FALSE(withoutSocket);
  EXPECT_FALSE(withPlainFile);
  EXPECT_TRUE(withSocket);
  EXPECT_FALSE(WineserverRunning(tmp / "no-such-prefix"));
}

}  // namespace
}  // namespace board_sim
