#include "recording_platform.h"

#include <cwctype>
#include <string>

#include "fake_velno.h"

namespace velno::testing {
namespace {

std::wstring Lower(const std::wstring& s) {
  std::wstring out = s;
  for (wchar_t& c : out) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
  return out;
}

}  // namespace

bool RecordingPlatform::BindSharedState(SharedState& library) {
  library = FakeSharedState();
  if (!libraryComplete) library.IsUsingGesture = nullptr;
  return libraryComplete;
}

bool RecordingPlatform::OpenStopEvent() { return stopEventOpens; }

bool RecordingPlatform::StopEventSignalled() {
  std::scoped_lock guard(lock_);
  const bool signalled = stopAfterPolls >= 0 && stopEventPolls >= stopAfterPolls;
  ++stopEventPolls;
  return signalled;
}

PortHandle RecordingPlatform::OpenBoardPort(const std::wstring& portName) {
  std::scoped_lock guard(lock_);
  opened.push_back(portName);
  auto it = boards.find(portName);
  if (it == boards.end() || !it->second.opens) return PortHandle::None;
  openPorts_.push_back(portName);
  return static_cast<PortHandle>(openPorts_.size());
}

std::wstring RecordingPlatform::PortName(PortHandle port) const {
  std::scoped_lock guard(lock_);
  const auto h = static_cast<std::size_t>(port);
  return h >= 1 && h <= openPorts_.size() ? openPorts_[h - 1] : std::wstring();
}

ReadResult RecordingPlatform::ReadPort(PortHandle port, std::uint8_t* buffer, std::uint32_t count) {
  std::scoped_lock guard(lock_);
  FakeBoard& board = boards[PortName(port)];
  if (board.reads.empty()) return {true, 0};
  FakeRead& next = board.reads.front();
  if (!next.ok) {
    board.reads.pop_front();
    return {false, 0};
  }
  // A read takes at most what was asked; the rest of the chunk stays for the next read.
  std::uint32_t n = 0;
  while (n < count && n < next.bytes.size()) {
    buffer[n] = next.bytes[n];
    ++n;
  }
  next.bytes.erase(next.bytes.begin(), next.bytes.begin() + n);
  if (next.bytes.empty()) board.reads.pop_front();
  return {true, n};
}

bool RecordingPlatform::WritePort(PortHandle port, std::uint8_t byte) {
  std::scoped_lock guard(lock_);
  const std::wstring name = PortName(port);
  writes.emplace_back(name, byte);
  FakeBoard& board = boards[name];
  if (board.writesFail) return false;
  if (byte == 0xEE && board.answersHandshake) board.reads.push_back({{0xDD}});
  return true;
}

void RecordingPlatform::ClosePort(PortHandle port) {
  std::scoped_lock guard(lock_);
  closed.push_back(PortName(port));
}

ThreadHandle RecordingPlatform::StartReaderThread(std::function<void()> body) {
  std::scoped_lock guard(lock_);
  if (threadsFailToStart) return ThreadHandle::None;
  if (runThreadsAtOnce) body();
  if (realThreads) running_.emplace_back(body);
  threads.push_back(std::move(body));
  return static_cast<ThreadHandle>(threads.size());
}

void RecordingPlatform::JoinThreads() {
  std::vector<std::thread> running;
  {
    std::scoped_lock guard(lock_);
    running.swap(running_);
  }
  for (std::thread& thread : running) thread.join();
}

void RecordingPlatform::Sleep(std::uint32_t milliseconds) {
  {
    std::scoped_lock guard(lock_);
    sleeps.push_back(milliseconds);
    nowMs += milliseconds;
  }
  // Outside the lock: the hook may take the driver's locks, which the driver holds while calling here.
  if (onSleep) onSleep();
}

TimeStamp RecordingPlatform::ReadClock() {
  std::scoped_lock guard(lock_);
  return {static_cast<std::int32_t>(nowMs / 1000), static_cast<std::int32_t>(nowMs % 1000)};
}

std::uint32_t RecordingPlatform::SendInput(const InputRecord* records, std::uint32_t count) {
  std::scoped_lock guard(lock_);
  inputs.emplace_back(records, records + count);
  injectionOrder.push_back(Injection::Input);
  return count;
}

CursorHandle RecordingPlatform::ShowBusyCursor() {
  std::scoped_lock guard(lock_);
  ++busyCursorCalls;
  return static_cast<CursorHandle>(0xC0);
}

std::int32_t RecordingPlatform::ReadSetting(const std::wstring& section, const std::wstring& key,
                                            std::int32_t defaultValue) {
  std::scoped_lock guard(lock_);
  auto s = settings.find(Lower(section));
  if (s == settings.end()) return defaultValue;
  auto k = s->second.find(Lower(key));
  if (k == s->second.end()) return defaultValue;
  return static_cast<std::int32_t>(std::stol(k->second));
}

void RecordingPlatform::WriteSetting(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
  std::scoped_lock guard(lock_);
  settingWrites.emplace_back(key, value);
  settingWriteSections.push_back(section);
  settings[Lower(section)][Lower(key)] = value;
}

}  // namespace velno::testing
