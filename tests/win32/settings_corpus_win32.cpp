// Loads settings files through the driver's real settings store: each *.ini of the given folder becomes
// config.ini beside this program, is read by LoadSettings through the Win32 profile calls into a fresh
// board (Velno.dll bound as the driver binds it), and its transforms are solved as the supervisor does
// next. Usage: settings_corpus.exe <folder>. One line a file:
//   <file> adjustType=N calibrated=N extendScreenFlag=N buttons=N brush=N erase=N safe=0|1
// where safe=1 says that the loaded calibration maps positions from finite coefficients, or, without
// one, that every position of the board maps within the range of the scale by 16.
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "calibration/projective_mapping.h"
#include "calibration/settings_file.h"
#include "driver.h"
#include "driver_platform_win32.h"
#include "pointer/output_mapping.h"

namespace {

bool ReadWholeFile(const std::wstring& path, std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  DWORD got = 0;
  bool read = GetFileSizeEx(file, &size);
  bytes.resize(read ? static_cast<std::size_t>(size.QuadPart) : 0);
  read = read && (bytes.empty() || (ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) &&
                                    got == bytes.size()));
  CloseHandle(file);
  return read;
}

// The profile calls keep a file they have read and read it again only when its write time changed, so
// every file written here gets a write time of its own.
bool WriteSettingsFile(const std::string& bytes, int number) {
  HANDLE file = CreateFileW(velno::SettingsPath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  ULARGE_INTEGER stamp{};
  stamp.QuadPart = 133'000'000'000'000'000ULL + static_cast<ULONGLONG>(number) * 10'000'000ULL;
  const FILETIME writeTime{stamp.LowPart, stamp.HighPart};
  const bool ok = (bytes.empty() || (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                                     written == bytes.size())) &&
                  SetFileTime(file, nullptr, nullptr, &writeTime);
  CloseHandle(file);
  return ok;
}

bool MapsSafely(const velno::CalibrationBlock& calibration) {
  if (calibration.calibrated) {
    for (std::int32_t q = 0; q < calibration.cellCount; ++q) {
      for (const auto& coefficient : calibration.cellCoefficients) {
        if (!std::isfinite(coefficient[q])) return false;
      }
    }
    return true;
  }
  const std::int32_t offsetX = calibration.extendScreenFlag == 1 ? velno::kExtendedScreenOffset : 0;
  const std::int32_t offsetY = calibration.extendScreenFlag == 2 ? velno::kExtendedScreenOffset : 0;
  const std::int32_t extent = 32767 * velno::kUncalibratedScale;
  for (std::int32_t y = 0; y <= 32767; y += 2047) {
    for (std::int32_t x = 0; x <= 32767; x += 2047) {
      const velno::OutputPosition p = velno::MapToOutput(calibration, velno::DisplayLayout{}, {x, y});
      if (p.x < offsetX || p.x > offsetX + extent || p.y < offsetY || p.y > offsetY + extent) return false;
    }
  }
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  static velno::Win32DriverPlatform platform;
  static velno::Driver driver(platform.Roles());
  if (!platform.library.BindSharedState(driver.sharedState)) return 3;
  velno::SetSettingsPath();

  const std::wstring folder = std::wstring(argv[1]) + L'\\';
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((folder + L"*.ini").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 4;
  int number = 0;
  do {
    std::string bytes;
    if (!ReadWholeFile(folder + found.cFileName, bytes) || !WriteSettingsFile(bytes, ++number)) return 5;
    velno::BoardContext board;
    velno::LoadSettings(platform.settings, driver.sharedState, board.calibration);
    velno::SolveCellTransforms(board.calibration);
    const velno::CalibrationBlock& c = board.calibration;
    std::wprintf(L"%ls adjustType=%u calibrated=%d extendScreenFlag=%d buttons=%u brush=%d erase=%d safe=%d\n",
                 found.cFileName, c.adjustType, c.calibrated ? 1 : 0, c.extendScreenFlag, c.touchButtons.count,
                 driver.sharedState.GetGestureBrush(), driver.sharedState.GetGestureErase(), MapsSafely(c) ? 1 : 0);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return 0;
}
