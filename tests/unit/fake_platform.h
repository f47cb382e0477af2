// Every platform role of the driver as a small fake, and one of each composed as the driver's platform for
// tests that run the supervisor or the whole report path. Tests of one feature take just the fakes of the
// roles it uses.
#pragma once

#include <functional>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "fake_clock.h"
#include "fake_serial_ports.h"
#include "fake_settings_store.h"
#include "platform/driver_platform.h"
#include "recording_output.h"

namespace velno::testing {

// Binds the library's operations to the in-process block (fake_velno.h).
class FakeSharedStateLoader : public SharedStateLoader {
 public:
  bool BindSharedState(SharedState& library) override;
  bool complete = true;  // false: one operation is missing
};

class FakeStopSignal : public StopSignal {
 public:
  bool OpenStopEvent() override { return opens; }
  bool StopEventSignalled() override {
    std::scoped_lock guard(lock_);
    const bool signalled = stopAfterPolls >= 0 && polls >= stopAfterPolls;
    ++polls;
    return signalled;
  }
  void CloseStopEvent() override {
    std::scoped_lock guard(lock_);
    ++closes;
  }

  bool opens = true;
  int stopAfterPolls = -1;  // StopEventSignalled turns true at this poll (0 = already set); -1 never
  int polls = 0;
  int closes = 0;

 private:
  std::mutex lock_;
};

// Reader threads that run when the test says: at once inside StartReaderThread, on real threads, or kept
// for the test to run.
class FakeReaderThreads : public ReaderThreads {
 public:
  ~FakeReaderThreads() override { JoinThreads(); }
  ThreadHandle StartReaderThread(std::function<void()> body) override;
  void CloseThread(ThreadHandle thread) override {
    std::scoped_lock guard(lock_);
    closedThreads.push_back(thread);
  }
  // Waits for the readers started with realThreads.
  void JoinThreads();

  bool failToStart = false;
  bool runAtOnce = false;  // a started reader runs to its end inside StartReaderThread
  bool realThreads = false;
  std::vector<std::function<void()>> started;  // reader bodies, in order
  std::vector<ThreadHandle> closedThreads;

 private:
  std::vector<std::thread> running_;
  std::mutex lock_;
};

class FakeDisplays : public Displays {
 public:
  DisplayLayout CurrentDisplayLayout() override { return layout; }
  DisplayLayout layout{{0, 0, 1280, 1024}, {0, 0, 1280, 1024}, false, {}};  // one 1280 x 1024 screen
};

class RecordingEventLog : public EventLog {
 public:
  void WriteEventLog(LogEvent event, const std::vector<std::wstring>& words) override {
    std::scoped_lock guard(lock_);
    events.emplace_back(event, words);
  }
  std::vector<std::pair<LogEvent, std::vector<std::wstring>>> events;

 private:
  std::mutex lock_;
};

class FakeToolPresence : public ToolPresence {
 public:
  bool RunToolPresent(CaptureRun run) override { return run == CaptureRun::Point ? pointTool : buttonTool; }
  bool pointTool = false;
  bool buttonTool = false;
};

struct FakePlatform {
  FakeSharedStateLoader library;
  FakeStopSignal stop;
  FakeSerialPorts ports;
  FakeReaderThreads threads;
  FakeClock clock;
  RecordingOutput output;
  FakeSettingsStore settings;
  FakeDisplays displays;
  RecordingEventLog log;
  FakeToolPresence tool;

  DriverPlatform Roles() {
    return {library, stop, ports, threads, clock, output, output, output, settings, displays, log, tool};
  }
};

}  // namespace velno::testing
