// A DriverPlatform that records every call the core makes and plays scripted boards, time and
// settings, for tests to drive and assert on. Time advances only through Sleep (or by hand). Every call
// holds one lock, so readers on threads of their own (realThreads) may call it at once; the test reads
// the records once the threads have ended.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/driver_platform.h"

namespace velno::testing {

// Which input call came when: mouse_event calls and SendInput calls are recorded apart.
enum class Injection { Mouse, Input };

struct MouseCall {
  std::uint32_t flags;
  std::int32_t x;
  std::int32_t y;

  friend bool operator==(const MouseCall&, const MouseCall&) = default;
};

// What one ReadPort call gets: the bytes that arrive (none = the read timed out), or a failed read.
struct FakeRead {
  std::vector<std::uint8_t> bytes;
  bool ok = true;
};

// A board behind one port name.
struct FakeBoard {
  bool opens = true;               // OpenBoardPort succeeds
  bool answersHandshake = true;    // each 0xEE written queues a 0xDD to read
  bool writesFail = false;         // the port is gone: writes fail, reads time out
  std::deque<FakeRead> reads;      // played in order; afterwards every read times out
};

class RecordingPlatform : public DriverPlatform {
 public:
  ~RecordingPlatform() override { JoinThreads(); }
  // Waits for the readers started with realThreads.
  void JoinThreads();

  // Shared-state library and stop event.
  bool BindSharedState(SharedState& library) override;
  bool OpenStopEvent() override;
  bool StopEventSignalled() override;
  void CloseStopEvent() override {
    std::scoped_lock guard(lock_);
    ++stopEventCloses;
  }

  // Serial ports.
  std::vector<SerialDevice> ListSerialDevices() override {
    std::scoped_lock guard(lock_);
    ++deviceListings;
    return devices;
  }
  PortHandle OpenBoardPort(const std::wstring& portName) override;
  ReadResult ReadPort(PortHandle port, std::uint8_t* buffer, std::uint32_t count) override;
  bool WritePort(PortHandle port, std::uint8_t byte) override;
  void ClosePort(PortHandle port) override;
  void KeepSystemAwake() override {
    std::scoped_lock guard(lock_);
    ++keepAwakeCalls;
  }

  // Threads and time.
  ThreadHandle StartReaderThread(std::function<void()> body) override;
  void CloseThread(ThreadHandle thread) override {
    std::scoped_lock guard(lock_);
    closedThreads.push_back(thread);
  }
  void Sleep(std::uint32_t milliseconds) override;
  TimeStamp ReadClock() override;

  // Input.
  void InjectMouse(std::uint32_t flags, std::int32_t x, std::int32_t y) override {
    std::scoped_lock guard(lock_);
    mouse.push_back({flags, x, y});
    injectionOrder.push_back(Injection::Mouse);
  }
  std::uint32_t SendInput(const InputRecord* records, std::uint32_t count) override;
  CursorHandle ShowBusyCursor() override;
  void RestoreCursor(CursorHandle cursor) override {
    std::scoped_lock guard(lock_);
    restoredCursors.push_back(cursor);
  }
  void RunCommand(const char* commandLine) override {
    std::scoped_lock guard(lock_);
    commands.emplace_back(commandLine);
  }

  // Settings: an in-memory profile file (names without regard to case, values the signed decimal text
  // a save writes). How the real profile calls read bytes and odd numbers is tested under Wine.
  std::int32_t ReadSetting(const std::wstring& section, const std::wstring& key, std::int32_t defaultValue) override;
  void WriteSetting(const std::wstring& section, const std::wstring& key, const std::wstring& value) override;

  DisplayLayout CurrentDisplayLayout() override {
    std::scoped_lock guard(lock_);
    return display;
  }

  // The event log.
  void WriteEventLog(LogEvent event, const std::vector<std::wstring>& words) override {
    std::scoped_lock guard(lock_);
    events.emplace_back(event, words);
  }

  // The calibration tool.
  bool AdjustToolRunning() override {
    std::scoped_lock guard(lock_);
    return toolRunning;
  }

  // Scripted world.
  DisplayLayout display{{0, 0, 1280, 1024}, {0, 0, 1280, 1024}, false, {}};  // one 1280 x 1024 screen
  bool libraryComplete = true;
  bool stopEventOpens = true;
  int stopAfterPolls = -1;  // StopEventSignalled turns true at this poll (0 = already set); -1 never
  std::vector<SerialDevice> devices;
  std::map<std::wstring, FakeBoard> boards;  // by port name
  std::function<void()> onSleep;             // runs after each Sleep, e.g. to stop a reader loop
  std::uint64_t nowMs = 0;
  bool threadsFailToStart = false;
  bool runThreadsAtOnce = false;  // a started reader runs to its end inside StartReaderThread
  bool realThreads = false;       // a started reader runs on a thread of its own
  int deviceListings = 0;
  bool toolRunning = false;

  // Records.
  int stopEventPolls = 0;
  int stopEventCloses = 0;
  std::vector<std::wstring> opened;  // port names, in order
  std::vector<std::pair<std::wstring, std::uint8_t>> writes;
  std::vector<std::wstring> closed;
  std::vector<std::uint32_t> sleeps;
  int keepAwakeCalls = 0;
  std::vector<std::function<void()>> threads;  // reader bodies, started by the test when it likes
  std::vector<ThreadHandle> closedThreads;
  std::vector<MouseCall> mouse;
  std::vector<std::vector<InputRecord>> inputs;
  std::vector<Injection> injectionOrder;  // mouse and inputs, interleaved as they were made
  int busyCursorCalls = 0;
  std::vector<CursorHandle> restoredCursors;
  std::vector<std::string> commands;
  std::vector<std::pair<std::wstring, std::wstring>> settingWrites;  // key, value in order
  std::vector<std::wstring> settingWriteSections;                    // the section of each, as passed
  std::map<std::wstring, std::map<std::wstring, std::wstring>> settings;  // lower-case section, key
  std::vector<std::pair<LogEvent, std::vector<std::wstring>>> events;

  std::wstring PortName(PortHandle port) const;

 private:
  std::vector<std::wstring> openPorts_;  // handle h is openPorts_[h - 1]
  std::vector<std::thread> running_;
  mutable std::recursive_mutex lock_;  // recursive: onSleep may call back into the platform
};

}  // namespace velno::testing
