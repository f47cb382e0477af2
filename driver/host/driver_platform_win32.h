// The Win32 side of the driver's platform seam. Its methods live in the *_win32.cpp files named after
// what they serve: serial ports, input injection, threads and time, the stop event, the library, the
// settings file.
#pragma once

#include <string>

#include "platform/driver_platform.h"

namespace velno {

class Win32DriverPlatform : public DriverPlatform {
 public:
  bool BindSharedState(SharedState& library) override;

  bool OpenStopEvent() override;
  bool StopEventSignalled() override;
  void CloseStopEvent() override;

  std::vector<SerialDevice> ListSerialDevices() override;
  PortHandle OpenBoardPort(const std::wstring& portName) override;
  ReadResult ReadPort(PortHandle port, std::uint8_t* buffer, std::uint32_t count) override;
  bool WritePort(PortHandle port, std::uint8_t byte) override;
  void ClosePort(PortHandle port) override;
  void KeepSystemAwake() override;

  ThreadHandle StartReaderThread(std::function<void()> body) override;
  void CloseThread(ThreadHandle thread) override;
  void Sleep(std::uint32_t milliseconds) override;
  TimeStamp ReadClock() override;

  void InjectMouse(std::uint32_t flags, std::int32_t x, std::int32_t y) override;
  std::uint32_t SendInput(const InputRecord* records, std::uint32_t count) override;
  CursorHandle ShowBusyCursor() override;
  void RestoreCursor(CursorHandle cursor) override;
  void RunCommand(const char* commandLine) override;

  std::int32_t ReadSetting(const std::wstring& section, const std::wstring& key, std::int32_t defaultValue) override;
  void WriteSetting(const std::wstring& section, const std::wstring& key, const std::wstring& value) override;

  DisplayLayout CurrentDisplayLayout() override;
  void WriteEventLog(LogEvent event, const std::vector<std::wstring>& words) override;
  bool AdjustToolRunning() override;

 private:
  void* stopEvent_ = nullptr;
};

// The settings file: "config.ini" in the directory of the program's own file. Set first in every role.
void SetSettingsPath();
const std::wstring& SettingsPath();

}  // namespace velno
