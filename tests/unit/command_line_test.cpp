#include "command_line.h"

#include <gtest/gtest.h>

namespace velno {
namespace {

TEST(CommandLineRole, TheWholeTextAfterTheLastSlashPicksTheRole) {
  EXPECT_EQ(RoleFromCommandLine(L"\"C:\\Program Files\\Velno\\VelnoDriver.exe\" /service"), ProgramRole::Driver);
  EXPECT_EQ(RoleFromCommandLine(L"VelnoDriver.exe /SERVICE"), ProgramRole::Driver);
  EXPECT_EQ(RoleFromCommandLine(L"VelnoDriver.exe /C"), ProgramRole::Install);
  EXPECT_EQ(RoleFromCommandLine(L"VelnoDriver.exe /d"), ProgramRole::Remove);
  EXPECT_EQ(RoleFromCommandLine(L"VelnoDriver.exe /c "), ProgramRole::None);
  EXPECT_EQ(RoleFromCommandLine(L"VelnoDriver.exe /x"), ProgramRole::None);
  EXPECT_EQ(RoleFromCommandLine(L"VelnoDriver.exe"), ProgramRole::Service);
  // A '/' in the path counts when no switch follows it: the path's tail is the switch.
  EXPECT_EQ(RoleFromCommandLine(L"C:/tools/VelnoDriver.exe"), ProgramRole::None);
  EXPECT_EQ(RoleFromCommandLine(L"C:/tools/VelnoDriver.exe /service"), ProgramRole::Driver);
}

}  // namespace
}  // namespace velno
