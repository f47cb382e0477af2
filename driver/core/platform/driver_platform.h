// What the driver core needs from the platform. The Win32 side implements it for real; unit tests
// implement it with recording fakes. Nothing in the core calls the platform any other way.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/display_layout.h"
#include "platform/input_records.h"
#include "platform/log_events.h"
#include "platform/platform_types.h"
#include "platform/shared_state.h"

namespace velno {

class DriverPlatform {
 public:
  virtual ~DriverPlatform() = default;

  // The shared-state library: loads "Velno.dll" and binds the 24 operations. False when the library
  // or any of the operations is missing.
  virtual bool BindSharedState(SharedState& library) = 0;

  // The service's stop event (kernel_object_names.h): created or opened, polled with a zero time-out.
  virtual bool OpenStopEvent() = 0;
  virtual bool StopEventSignalled() = 0;
  virtual void CloseStopEvent() = 0;

  // Serial ports. OpenBoardPort opens the port exclusively and sets it to 9600 8N1 with the board's
  // read time-outs (30 ms between bytes, 150 ms per byte plus 200 ms a read); None on failure.
  virtual std::vector<SerialDevice> ListSerialDevices() = 0;
  virtual PortHandle OpenBoardPort(const std::wstring& portName) = 0;
  virtual ReadResult ReadPort(PortHandle port, std::uint8_t* buffer, std::uint32_t count) = 0;
  virtual bool WritePort(PortHandle port, std::uint8_t byte) = 0;
  virtual void ClosePort(PortHandle port) = 0;
  // Resets the system's idle timer (a board that answers keeps the machine from sleeping).
  virtual void KeepSystemAwake() = 0;

  // Threads and time. A reader thread runs at time-critical priority.
  virtual ThreadHandle StartReaderThread(std::function<void()> body) = 0;
  virtual void CloseThread(ThreadHandle thread) = 0;
  virtual void Sleep(std::uint32_t milliseconds) = 0;
  virtual TimeStamp ReadClock() = 0;

  // Input. InjectMouse is one mouse_event call with absolute input units; SendInput sends the records
  // in one call (at most kMaxInputRecords) and returns how many went through.
  virtual void InjectMouse(std::uint32_t flags, std::int32_t x, std::int32_t y) = 0;
  virtual std::uint32_t SendInput(const InputRecord* records, std::uint32_t count) = 0;
  // Sets the system's busy cursor; returns the cursor it replaced.
  virtual CursorHandle ShowBusyCursor() = 0;
  virtual void RestoreCursor(CursorHandle cursor) = 0;
  // Starts a program by command line, hidden, without waiting for it (WinExec with SW_HIDE).
  virtual void RunCommand(const char* commandLine) = 0;

  // The settings file "config.ini" beside the driver program.
  virtual std::int32_t ReadSetting(const std::wstring& section, const std::wstring& key, std::int32_t defaultValue) = 0;
  virtual void WriteSetting(const std::wstring& section, const std::wstring& key, const std::wstring& value) = 0;

  // The monitors as they are now: the platform follows display changes (monitors added, removed, moved,
  // another resolution) by itself. Called for every pen report, so it must be cheap.
  virtual DisplayLayout CurrentDisplayLayout() = 0;

  // The Windows event log: one event with the words of its message (board found or lost, a calibration
  // saved or refused, an unhealthy link).
  virtual void WriteEventLog(LogEvent event, const std::vector<std::wstring>& words) = 0;

  // The calibration tool holds its hand-off event (kernel_object_names.h) for its whole life: true
  // while the event can be opened by name.
  virtual bool AdjustToolRunning() = 0;
};

}  // namespace velno
