// The tool's platform seam on Win32.
#pragma once

#include <windows.h>

#include "adjust_platform.h"

namespace adjust {

class Win32AdjustPlatform : public AdjustPlatform {
 public:
  explicit Win32AdjustPlatform(HINSTANCE instance);

  HandOffEvent CreateHandOffEvent() override;
  void SignalHandOffEvent() override;
  void CloseHandOffEvent() override;
  void HoldRunEvent(CaptureRun run) override;
  void ReleaseRunEvent() override;
  bool LoadSharedState() override;
  void* FindOperation(const char* name) override;
  std::vector<std::wstring> SerialDeviceNames() override;
  std::optional<std::vector<MonitorInfo>> Monitors() override;
  void Pause(std::uint32_t milliseconds) override;
  void ShowNotice(Notice notice) override;
  ChooserResult RunChooser(const PassScreen& screen) override;
  TargetOutcome RunTargetWindow(const PassScreen& screen, std::uint32_t count,
                                const AdjustOperations& operations) override;
  CheckOutcome RunCheck(const PassScreen& screen, std::uint32_t count) override;
  ChooserResult RunPrintedButtonChooser() override;
  TargetOutcome RunTouchButtonWindow(std::uint32_t count, const AdjustOperations& operations) override;
  void ShowTouchButtonsSetUp(std::uint32_t count) override;
  std::int32_t ReadCalibrationNumber(const wchar_t* key, std::int32_t defaultValue) override;
  bool OfferCalibration() override;

 private:
  HINSTANCE instance_;
  HANDLE handOff_ = nullptr;
  HANDLE runEvent_ = nullptr;
  HMODULE library_ = nullptr;
};

}  // namespace adjust
