#include "command_line.h"

#include <gtest/gtest.h>

namespace velno {
namespace {

TEST(CommandLineRole, TheWholeTextAfterTheLastSlashPicksTheRole) {
  EXPECT_EQ(RoleFromCommandLine(L"\"C:\\Program Files\\Velno\\VelnoDriver.exe\" /service"), ProgramRole::Driver);
  EXPECT_EQ(RoleFromCommandLine(L"VelnoDriver.exe /SERVICE"), ProgramRole::Driver);
  EXPECT_EQ(RoleFromCommandLine(L"VelnoDriver.exe /C"), ProgramRole::Install);
  EXPECT_EQ(RoleFromCommandLine(L"VelnoDriver.exe /d"), ProgramRole::Remove);
  EXPECT_EQ(RoleFromCommandLine(L"\"C:\\Program Files\\Velno\\VelnoDriver.exe\" /Settings"), ProgramRole::OpenSettings);
  EXPECT_EQ(RoleFromCommandLine(L"VelnoDriver.exe /c "), ProgramRole::None);
  EXPECT_EQ(RoleFromCommandLine(L"VelnoDriver.exe /x"), ProgramRole::None);
  EXPECT_EQ(RoleFromCommandLine(L"VelnoDriver.exe"), ProgramRole::Service);
  // A '/' in the path counts when no switch follows it: the path's tail is the switch.
  EXPECT_EQ(RoleFromCommandLine(L"C:/tools/VelnoDriver.exe"), ProgramRole::None);
  EXPECT_EQ(RoleFromCommandLine(L"C:/tools/VelnoDriver.exe /service"), ProgramRole::Driver);
}

TEST(CommandLineStopSignal, TheServiceHandsItsDriverTheHandleAndTheRoleStaysTheLastSwitch) {
  for (const std::uintptr_t handle : {std::uintptr_t{0x1a4}, std::uintptr_t{4}, ~std::uintptr_t{0} >> 1}) {
    const std::wstring line = DriverCommandLine(handle);
    EXPECT_EQ(RoleFromCommandLine(line), ProgramRole::Driver) << handle;
    EXPECT_EQ(StopSignalFromCommandLine(line), handle);
  }
  // Started by hand: the named event as before.
  EXPECT_EQ(StopSignalFromCommandLine(L"\"C:\\Velno\\VelnoDriver.exe\" /service"), std::nullopt);
  EXPECT_EQ(StopSignalFromCommandLine(L" /stopsignal:zz /service"), std::nullopt);
  EXPECT_EQ(StopSignalFromCommandLine(L" /stopsignal: /service"), std::nullopt);
}

TEST(CommandLineServicePath, TheLineBeforeTheSwitchQuotedWhenABlankWouldSplitIt) {
  const struct {
    const wchar_t* commandLine;
    const wchar_t* binaryPath;
  } cases[] = {
      // A quoted path is kept as it comes, the blank before the switch included.
      {L"\"C:\\Program Files\\Velno\\VelnoDriver.exe\" /c", L"\"C:\\Program Files\\Velno\\VelnoDriver.exe\" "},
      // Unquoted with a blank: the service manager would try "C:\Program.exe" first.
      {L"C:\\Program Files\\Velno\\VelnoDriver.exe /c", L"\"C:\\Program Files\\Velno\\VelnoDriver.exe\""},
      {L"C:\\Program Files\\Velno\\VelnoDriver.exe/C", L"\"C:\\Program Files\\Velno\\VelnoDriver.exe\""},
      {L"C:\\Velno\\VelnoDriver.exe /c", L"C:\\Velno\\VelnoDriver.exe "},
      {L"C:\\Velno\\VelnoDriver.exe/c", L"C:\\Velno\\VelnoDriver.exe"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ServiceBinaryPath(c.commandLine), c.binaryPath) << "case " << (&c - cases);
  }
}

TEST(CommandLineServicePath, OnlyAPathFromADriveOrAShareIsAFullOne) {
  const struct {
    const wchar_t* binaryPath;
    bool full;
  } cases[] = {
      {L"\"C:\\Program Files\\Velno\\VelnoDriver.exe\" ", true},
      {L"C:\\Velno\\VelnoDriver.exe ", true},
      {L"\\\\server\\share\\VelnoDriver.exe", true},
      {L"VelnoDriver.exe ", false},
      {L"\"VelnoDriver.exe\" ", false},
      {L"Velno\\VelnoDriver.exe", false},
      {L"C:VelnoDriver.exe", false},  // relative to the drive's current folder
      {L"\\Velno\\VelnoDriver.exe", false},  // relative to the current drive
      {L"", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsFullProgramPath(c.binaryPath), c.full) << "case " << (&c - cases);
  }
}

}  // namespace
}  // namespace velno
