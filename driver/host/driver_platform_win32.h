// The Win32 side of the driver's platform roles, each implemented in the *_win32.cpp file named after
// what it serves: serial ports, threads and time, input injection, the monitors, the settings file, the
// event log, the stop event, the library and the calibration tool (its presence, and its start from the
// driver's menu).
#pragma once

#include <string>

#include "platform/driver_platform.h"
#include "platform/tool_starter.h"

namespace velno {

class Win32SharedStateLoader : public SharedStateLoader {
 public:
  bool BindSharedState(SharedState& library) override;
};

class Win32StopSignal : public StopSignal {
 public:
  bool OpenStopEvent() override;
  bool StopEventSignalled() override;
  void CloseStopEvent() override;

 private:
  void* stopEvent_ = nullptr;
};

class Win32SerialPorts : public SerialPorts {
 public:
  std::vector<SerialDevice> ListSerialDevices() override;
  PortHandle OpenBoardPort(const std::wstring& portName) override;
  ReadResult ReadPort(PortHandle port, std::uint8_t* buffer, std::uint32_t count) override;
  bool WritePort(PortHandle port, std::uint8_t byte) override;
  void ClosePort(PortHandle port) override;
  void KeepSystemAwake() override;
};

class Win32ReaderThreads : public ReaderThreads {
 public:
  ThreadHandle StartReaderThread(std::function<void()> body) override;
  void CloseThread(ThreadHandle thread) override;
};

class Win32Clock : public Clock {
 public:
  TimeStamp ReadClock() override;
  std::uint64_t ReadMonotonicMs() override;
  void Sleep(std::uint32_t milliseconds) override;
};

class Win32PointerOutput : public PointerOutput {
 public:
  void InjectMouse(std::uint32_t flags, std::int32_t x, std::int32_t y) override;
  CursorHandle ShowBusyCursor() override;
  void RestoreCursor(CursorHandle cursor) override;
};

class Win32KeyOutput : public KeyOutput {
 public:
  std::uint32_t SendInput(const InputRecord* records, std::uint32_t count) override;
};

class Win32ProgramStarter : public ProgramStarter {
 public:
  StartResult StartProgram(const std::wstring& program, const std::wstring& arguments, bool hidden) override;
  StartResult Open(const std::wstring& target, const std::wstring& arguments) override;
};

class Win32SettingsStore : public SettingsStore {
 public:
  std::int32_t ReadNumber(const std::wstring& section, const std::wstring& key, std::int32_t defaultValue) override;
  std::wstring ReadText(const std::wstring& section, const std::wstring& key,
                        const std::wstring& defaultValue) override;
  bool Save(const std::vector<SettingWrite>& writes) override;
  void BeginLoad() override;
  void EndLoad() override;
};

class Win32Displays : public Displays {
 public:
  DisplayLayout CurrentDisplayLayout() override;
};

class Win32EventLog : public EventLog {
 public:
  void WriteEventLog(LogEvent event, const std::vector<std::wstring>& words) override;
};

class Win32ToolPresence : public ToolPresence {
 public:
  bool RunToolPresent(CaptureRun run) override;
};

class Win32ToolStarter : public ToolStarter {
 public:
  ~Win32ToolStarter() override;
  bool StartTool(const std::wstring& programName, const std::wstring& arguments) override;
  bool StartedToolRunning() override;

 private:
  void* started_ = nullptr;  // the process of the tool started last
};

// One of each role, for the driver process.
struct Win32DriverPlatform {
  Win32SharedStateLoader library;
  Win32StopSignal stop;
  Win32SerialPorts ports;
  Win32ReaderThreads threads;
  Win32Clock clock;
  Win32PointerOutput pointer;
  Win32KeyOutput keys;
  Win32ProgramStarter programs;
  Win32SettingsStore settings;
  Win32Displays displays;
  Win32EventLog log;
  Win32ToolPresence tool;

  DriverPlatform Roles() {
    return {library, stop, ports, threads, clock, pointer, keys, programs, settings, displays, log, tool};
  }
};

// The settings file: "config.ini" in the directory of the program's own file, and its copy beside it
// (calibration/settings_copy.h). Set first in every role.
void SetSettingsPath();
const std::wstring& SettingsPath();

}  // namespace velno
