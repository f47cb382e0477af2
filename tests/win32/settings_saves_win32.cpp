// settings_saves.exe: two settings, A and B, saved and loaded by the driver's real settings store
// (LoadSettings and SaveSettings through Win32SettingsStore, Velno.dll bound as the driver binds it):
//   save A|B   one save; exit code 0 when the store says the file holds it
//   load       a fresh load; exit code 1 when it gave A, 2 for B, 3 for anything else
//   loop       saves A and B one after the other until it is ended; sets "Local\VelnoSaving" after the first
//   kill N     N times: starts "loop", ends it with TerminateProcess 0 to 40 ms into its saves, runs "load";
//              prints "kills=N A=a B=b other=o ms=t" and exits with 0 when every load gave A or B
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>

#include "calibration/settings_file.h"
#include "driver.h"
#include "driver_platform_win32.h"

namespace {

constexpr const wchar_t* kSaving = L"Local\\VelnoSaving";

// A: nine points on the main screen, two touch buttons, thresholds 3000 and 30000; B: sixteen points on
// the second screen, five buttons, 4000 and 40000. Every number differs, so no mix passes for either.
velno::CalibrationBlock Make(bool b) {
  velno::CalibrationBlock c;
  c.adjustType = b ? 16 : 9;
  c.calibrated = true;
  c.extendScreenFlag = b ? 1 : 0;
  for (int k = 0; k < 16; ++k) c.rawPoints[k] = {(b ? 1500 : 1000) + 37 * k, (b ? 2500 : 2000) + 53 * k};
  c.touchButtons.count = b ? 5 : 2;
  for (int k = 0; k < 5; ++k) c.touchButtons.positions[k] = {(b ? 700 : 600) + k, 31000};
  return c;
}

bool Same(const velno::CalibrationBlock& a, const velno::CalibrationBlock& e) {
  const auto points = [](const auto& table, std::uint32_t n) { return std::vector(table.begin(), table.begin() + n); };
  return a.adjustType == e.adjustType && a.calibrated && a.extendScreenFlag == e.extendScreenFlag &&
         points(a.rawPoints, e.adjustType) == points(e.rawPoints, e.adjustType) &&
         a.touchButtons.count == e.touchButtons.count &&
         points(a.touchButtons.positions, e.touchButtons.count) == points(e.touchButtons.positions, e.touchButtons.count);
}

HANDLE Start(const wchar_t* mode) {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring line = std::wstring(L"settings_saves.exe ") + mode;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION created{};
  if (!CreateProcessW(self, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &created)) return nullptr;
  CloseHandle(created.hThread);
  return created.hProcess;
}

int KillWhileSaving(int kills) {
  std::mt19937 random(GetTickCount());
  HANDLE saving = CreateEventW(nullptr, TRUE, FALSE, kSaving);
  int loaded[4] = {};
  const ULONGLONG begun = GetTickCount64();
  for (int k = 0; k < kills; ++k) {
    ResetEvent(saving);
    HANDLE loop = Start(L"loop");
    if (WaitForSingleObject(saving, 20000) != WAIT_OBJECT_0) return 5;
    Sleep(random() % 40);
    TerminateProcess(loop, 9);
    WaitForSingleObject(loop, INFINITE);
    HANDLE load = Start(L"load");
    DWORD code = 3;
    WaitForSingleObject(load, INFINITE);
    GetExitCodeProcess(load, &code);
    ++loaded[std::min<DWORD>(code, 3)];
    CloseHandle(loop);
    CloseHandle(load);
  }
  std::printf("kills=%d A=%d B=%d other=%d ms=%llu\n", kills, loaded[1], loaded[2], kills - loaded[1] - loaded[2],
              GetTickCount64() - begun);
  return loaded[1] + loaded[2] == kills ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring mode = argc > 1 ? argv[1] : L"";
  if (mode == L"kill" && argc == 3) {
    const int code = KillWhileSaving(_wtoi(argv[2]));
    std::fflush(stdout);
    return code;
  }
  static velno::Win32DriverPlatform platform;
  static velno::Driver driver(platform.Roles());
  if (!platform.library.BindSharedState(driver.sharedState)) return 4;
  velno::SetSettingsPath();
  const auto save = [&](bool b) {
    driver.sharedState.SetGestureBrush(b ? 4000 : 3000);
    driver.sharedState.SetGestureErase(b ? 40000 : 30000);
    return velno::SaveSettings(platform.settings, driver.sharedState, Make(b));
  };
  if (mode == L"save" && argc == 3) return save(argv[2][0] == L'B') ? 0 : 1;
  if (mode == L"loop") {
    HANDLE saving = OpenEventW(EVENT_MODIFY_STATE, FALSE, kSaving);
    for (bool b = false;; b = !b) {
      save(b);
      SetEvent(saving);
    }
  }
  if (mode != L"load") return 4;
  velno::CalibrationBlock loaded;
  velno::LoadSettings(platform.settings, driver.sharedState, loaded);
  const std::int32_t brush = driver.sharedState.GetGestureBrush();
  const std::int32_t erase = driver.sharedState.GetGestureErase();
  if (Same(loaded, Make(false)) && brush == 3000 && erase == 30000) return 1;
  return Same(loaded, Make(true)) && brush == 4000 && erase == 40000 ? 2 : 3;
}
