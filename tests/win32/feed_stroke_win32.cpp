// Drives the real driver core under Windows: binds Velno.dll as the driver does and feeds HandleReport
// one pen stroke from the pen-up state. Usage: feed_stroke.exe X1 Y1 X2 Y2 X3 Y3 X4 Y4 (board units);
// the four reports are FA, FA, FA, FC at those positions, spaced by 50 ms.
#include <windows.h>

#include <cwchar>

#include "driver.h"
#include "driver_platform_win32.h"
#include "report_path.h"

namespace {

velno::BoardReport PenReport(std::uint8_t lead, int x, int y) {
  const auto ux = static_cast<std::uint16_t>(x << 1);
  const auto uy = static_cast<std::uint16_t>(y << 1);
  velno::BoardReport r{lead, static_cast<std::uint8_t>(uy >> 8), static_cast<std::uint8_t>(uy & 0xFF),
                       static_cast<std::uint8_t>(ux >> 8), static_cast<std::uint8_t>(ux & 0xFF), 0};
  r[5] = velno::ReportChecksum(r);
  return r;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 9) return 2;
  static velno::Win32DriverPlatform platform;
  static velno::Driver driver(platform.Roles());
  if (!platform.library.BindSharedState(driver.sharedState)) return 3;
  const std::uint8_t leads[4] = {velno::kPenDownLead, velno::kPenDownLead, velno::kPenDownLead, velno::kPenUpLead};
  for (int i = 0; i < 4; ++i) {
    const int x = static_cast<int>(std::wcstol(argv[1 + 2 * i], nullptr, 10));
    const int y = static_cast<int>(std::wcstol(argv[2 + 2 * i], nullptr, 10));
    velno::HandleReport(driver.reportPath, driver.boards[0], PenReport(leads[i], x, y));
    Sleep(50);
  }
  return 0;
}
