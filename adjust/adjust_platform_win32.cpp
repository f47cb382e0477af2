// The Win32 side of the tool's seam: the hand-off and run events, Velno.DLL, the serial-port map, the monitors,
// the message boxes and the dialogs.
#include "adjust_platform_win32.h"

#include <utility>

#include "actions/action_text.h"
#include "dialogs_win32.h"
#include "kernel_object_names.h"
#include "serial_comm_win32.h"
#include "settings/teacher_settings.h"
#include "settings_file_names.h"

namespace adjust {
namespace {

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoW(monitor, &info)) {
    const RECT& r = info.rcMonitor;
    reinterpret_cast<std::vector<MonitorInfo>*>(data)->push_back(
        {{r.left, r.top, r.right, r.bottom}, (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
  }
  return TRUE;  // the whole enumeration: the last non-primary monitor wins
}

// The driver's settings file: the tool is installed in the driver's folder.
std::wstring SettingsFileBesideTool() {
  wchar_t program[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, program, MAX_PATH);
  std::wstring path = program;
  path.erase(path.find_last_of(L"\\/") + 1);
  return path + velno::kSettingsFileName;
}

// What printed button `number` (from 1) will do, in the teacher's words, from the actions the driver's
// settings file gives the touch buttons (read only: the driver alone writes it).
std::wstring TouchButtonActionWords(std::uint32_t number) {
  const std::wstring file = SettingsFileBesideTool();
  const velno::ButtonActionsRead actions = velno::ParseButtonActions([&file](const std::wstring& key) {
    wchar_t text[1024] = {};
    GetPrivateProfileStringW(velno::kTeacherSection.c_str(), key.c_str(), L"", text, 1024, file.c_str());
    return std::wstring(text);
  });
  return velno::TouchButtonActionWords(actions.table, static_cast<int>(number) - 1);
}

}  // namespace

Win32AdjustPlatform::Win32AdjustPlatform(HINSTANCE instance) : instance_(instance) {}

HandOffEvent Win32AdjustPlatform::CreateHandOffEvent() {
  handOff_ = CreateEventW(nullptr, FALSE, FALSE, velno::kAdjustHandOffEventName);
  if (handOff_ == nullptr) return HandOffEvent::Unavailable;
  return GetLastError() == ERROR_ALREADY_EXISTS ? HandOffEvent::AlreadyExisted : HandOffEvent::Created;
}

void Win32AdjustPlatform::SignalHandOffEvent() { SetEvent(handOff_); }

void Win32AdjustPlatform::CloseHandOffEvent() {
  CloseHandle(handOff_);
  handOff_ = nullptr;
}

void Win32AdjustPlatform::HoldRunEvent(CaptureRun run) {
  runEvent_ = CreateEventW(nullptr, TRUE, FALSE,
                           run == CaptureRun::Point ? velno::kPointRunEventName : velno::kButtonRunEventName);
}

void Win32AdjustPlatform::ReleaseRunEvent() {
  if (runEvent_ != nullptr) CloseHandle(runEvent_);
  runEvent_ = nullptr;
}

// Loaded for the rest of the process: the bound operations are used until the end.
bool Win32AdjustPlatform::LoadSharedState() {
  library_ = LoadLibraryW(L"Velno.DLL");
  return library_ != nullptr;
}

void* Win32AdjustPlatform::FindOperation(const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(library_, name));
}

// Only the value names matter (the bridge driver's device names); the data (the COM names) is not read,
// so a long value cannot make the enumeration of its name fail.
std::vector<std::wstring> Win32AdjustPlatform::SerialDeviceNames() {
  std::vector<std::wstring> names;
  for (velno::SerialCommValue& value : velno::ReadSerialCommMap(velno::SerialCommRead::NamesOnly)) {
    names.push_back(std::move(value.deviceName));
  }
  return names;
}

std::optional<std::vector<MonitorInfo>> Win32AdjustPlatform::Monitors() {
  std::vector<MonitorInfo> monitors;
  if (!EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&monitors))) return std::nullopt;
  return monitors;
}

void Win32AdjustPlatform::Pause(std::uint32_t milliseconds) { Sleep(milliseconds); }

// Through the Unicode API, so the full-width exclamation mark reads right whatever the code page.
void Win32AdjustPlatform::ShowNotice(Notice notice) {
  if (notice == Notice::NoBoard) {
    MessageBoxW(nullptr, L"Please check whether the whiteboard is connected with the computer correctly\uFF01",
                L"Adjusting", MB_OK | MB_ICONSTOP);
  } else if (notice == Notice::NoExtendScreen) {
    MessageBoxW(nullptr, L"No extend screen", L"Adjusting", MB_YESNOCANCEL | MB_ICONSTOP);
  } else {
    MessageBoxW(nullptr,
                L"The pen driver has not found the whiteboard. Please check that the whiteboard is connected, "
                L"wait a few seconds and start the calibration again.",
                L"Adjusting", MB_OK | MB_ICONSTOP);
  }
}

ChooserResult Win32AdjustPlatform::RunChooser(const PassScreen& screen) {
  return RunChooseCountDialog(instance_, screen);
}

TargetOutcome Win32AdjustPlatform::RunTargetWindow(const PassScreen& screen, std::uint32_t count,
                                                   const AdjustOperations& operations) {
  return RunTargetDialog(instance_, screen, count, operations, handOff_);
}

CheckOutcome Win32AdjustPlatform::RunCheck(const PassScreen& screen, std::uint32_t count) {
  return RunCheckDialog(instance_, screen, count, handOff_);
}

ChooserResult Win32AdjustPlatform::RunPrintedButtonChooser() { return RunChoosePrintedButtonsDialog(instance_); }

TargetOutcome Win32AdjustPlatform::RunTouchButtonWindow(std::uint32_t count, const AdjustOperations& operations) {
  std::vector<std::wstring> actionWords;
  for (std::uint32_t number = 1; number <= count; ++number) actionWords.push_back(TouchButtonActionWords(number));
  return RunTouchButtonDialog(instance_, actionWords, operations, handOff_);
}

void Win32AdjustPlatform::ShowTouchButtonsSetUp(std::uint32_t count) { RunTouchButtonsSetUpDialog(instance_, count); }

std::int32_t Win32AdjustPlatform::ReadCalibrationNumber(const wchar_t* key, std::int32_t defaultValue) {
  return static_cast<std::int32_t>(
      GetPrivateProfileIntW(velno::kCalibrationSection, key, defaultValue, SettingsFileBesideTool().c_str()));
}

bool Win32AdjustPlatform::OfferCalibration() { return RunNoCalibrationDialog(instance_); }

}  // namespace adjust
