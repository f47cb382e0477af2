// settings_saves.exe: two settings, A and B, saved and loaded by the driver's real settings store
// (LoadSettings and SaveSettings through Win32SettingsStore, Velno.dll bound as the driver binds it):
//   settings_saves.exe save A|B   one save; exit code 0 when the store says the file holds it
//   settings_saves.exe load       a fresh load; exit code 1 when it gave A, 2 for B, 3 for anything else
//   settings_saves.exe loop       saves A and B one after the other until it is ended, once it has set the
//                                 event "Local\VelnoSavesStarted"
//   settings_saves.exe kill N     N times: starts "loop", ends it with TerminateProcess at a random moment
//                                 0 to 40 ms into its saves, then runs "load". One line a kill, then
//                                 "kills=N A=a B=b other=o ms=t"; exit code 0 when every load gave A or B
#include <windows.h>

#include <cstdio>
#include <random>
#include <string>

#include "calibration/settings_file.h"
#include "driver.h"
#include "driver_platform_win32.h"

namespace {

constexpr const wchar_t* kStartedEvent = L"Local\\VelnoSavesStarted";

struct Settings {
  velno::CalibrationBlock calibration;
  std::int32_t brush;
  std::int32_t erase;
};

// A: nine points on the main screen, two touch buttons; B: sixteen on the second screen, five buttons and
// other thresholds. Every number differs, so a load that mixed them cannot pass for either.
Settings Make(bool b) {
  Settings s{{}, b ? 4000 : 3000, b ? 40000 : 30000};
  s.calibration.adjustType = b ? 16 : 9;
  s.calibration.calibrated = true;
  s.calibration.extendScreenFlag = b ? 1 : 0;
  for (std::uint32_t k = 0; k < s.calibration.adjustType; ++k) {
    s.calibration.rawPoints[k] = {static_cast<std::int32_t>((b ? 1500 : 1000) + 37 * k),
                                  static_cast<std::int32_t>((b ? 2500 : 2000) + 53 * k)};
  }
  s.calibration.touchButtons.count = b ? 5 : 2;
  for (std::uint32_t k = 0; k < s.calibration.touchButtons.count; ++k) {
    s.calibration.touchButtons.positions[k] = {static_cast<std::int32_t>((b ? 700 : 600) + k), 31000};
  }
  return s;
}

bool Same(const Settings& loaded, const Settings& expected) {
  const velno::CalibrationBlock& a = loaded.calibration;
  const velno::CalibrationBlock& e = expected.calibration;
  bool same = a.adjustType == e.adjustType && a.calibrated && a.extendScreenFlag == e.extendScreenFlag &&
              a.touchButtons.count == e.touchButtons.count && loaded.brush == expected.brush &&
              loaded.erase == expected.erase;
  for (std::uint32_t k = 0; same && k < e.adjustType; ++k) same = a.rawPoints[k] == e.rawPoints[k];
  for (std::uint32_t k = 0; same && k < e.touchButtons.count; ++k) {
    same = a.touchButtons.positions[k] == e.touchButtons.positions[k];
  }
  return same;
}

DWORD Run(const std::wstring& arguments, HANDLE* started = nullptr) {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring line = L"settings_saves.exe " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION created{};
  if (!CreateProcessW(self, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &created)) return 4;
  CloseHandle(created.hThread);
  if (started != nullptr) {
    *started = created.hProcess;
    return 0;
  }
  WaitForSingleObject(created.hProcess, INFINITE);
  DWORD code = 4;
  GetExitCodeProcess(created.hProcess, &code);
  CloseHandle(created.hProcess);
  return code;
}

int KillWhileSaving(int kills) {
  HANDLE started = CreateEventW(nullptr, TRUE, FALSE, kStartedEvent);
  const unsigned seed = GetTickCount();
  std::mt19937 random(seed);
  int counts[4] = {};
  const ULONGLONG begun = GetTickCount64();
  std::printf("seed %u\n", seed);
  for (int k = 1; k <= kills; ++k) {
    ResetEvent(started);
    HANDLE loop = nullptr;
    if (Run(L"loop", &loop) != 0 || WaitForSingleObject(started, 20000) != WAIT_OBJECT_0) return 5;
    const DWORD delay = random() % 40;
    Sleep(delay);
    TerminateProcess(loop, 9);
    WaitForSingleObject(loop, INFINITE);
    CloseHandle(loop);
    const DWORD loaded = Run(L"load");
    ++counts[loaded >= 1 && loaded <= 3 ? loaded : 3];
    std::printf("kill %d after %lu ms: %s\n", k, delay, loaded == 1 ? "A" : loaded == 2 ? "B" : "neither");
  }
  std::printf("kills=%d A=%d B=%d other=%d ms=%llu\n", kills, counts[1], counts[2], counts[3], GetTickCount64() - begun);
  return counts[3] == 0 ? 0 : 1;
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
  if (!platform.library.BindSharedState(driver.sharedState)) return 3;
  velno::SetSettingsPath();
  const Settings a = Make(false);
  const Settings b = Make(true);
  const auto save = [&](const Settings& s) {
    driver.sharedState.SetGestureBrush(s.brush);
    driver.sharedState.SetGestureErase(s.erase);
    return velno::SaveSettings(platform.settings, driver.sharedState, s.calibration);
  };
  if (mode == L"save" && argc == 3) return save(argv[2][0] == L'B' ? b : a) ? 0 : 1;
  if (mode == L"loop") {
    HANDLE started = OpenEventW(EVENT_MODIFY_STATE, FALSE, kStartedEvent);
    for (bool useB = false;; useB = !useB) {
      save(useB ? b : a);
      if (started != nullptr) SetEvent(started);
    }
  }
  if (mode == L"load") {
    Settings loaded{};
    velno::LoadSettings(platform.settings, driver.sharedState, loaded.calibration);
    loaded.brush = driver.sharedState.GetGestureBrush();
    loaded.erase = driver.sharedState.GetGestureErase();
    return Same(loaded, a) ? 1 : Same(loaded, b) ? 2 : 3;
  }
  return 2;
}
