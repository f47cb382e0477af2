#include "recording_platform.h"

#include <cwctype>

#include "fake_velno.h"

namespace velno::testing {
namespace {

std::wstring Lower(const std::wstring& s) {
  std::wstring out = s;
  for (wchar_t& c : out) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
  return out;
}

// The profile file's reading of a value: the decimal integer at its start, 0 when there is none.
std::int32_t LeadingInteger(const std::wstring& text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == L' ' || text[i] == L'\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) negative = text[i++] == L'-';
  std::uint32_t value = 0;
  for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
    value = value * 10u + static_cast<std::uint32_t>(text[i] - L'0');
  }
  return static_cast<std::int32_t>(negative ? 0u - value : value);
}

}  // namespace

bool RecordingPlatform::BindSharedState(VelnoLibrary& library) {
  library = FakeVelnoLibrary();
  if (!libraryComplete) library.IsUsingGesture = nullptr;
  return libraryComplete;
}

bool RecordingPlatform::OpenStopEvent() { return stopEventOpens; }

bool RecordingPlatform::StopEventSignalled() {
  const bool signalled = stopAfterPolls >= 0 && stopEventPolls >= stopAfterPolls;
  ++stopEventPolls;
  return signalled;
}

PortHandle RecordingPlatform::OpenBoardPort(const std::wstring& portName) {
  opened.push_back(portName);
  auto it = boards.find(portName);
  if (it == boards.end() || !it->second.opens) return PortHandle::None;
  openPorts_.push_back(portName);
  return static_cast<PortHandle>(openPorts_.size());
}

std::wstring RecordingPlatform::PortName(PortHandle port) const {
  const auto h = static_cast<std::size_t>(port);
  return h >= 1 && h <= openPorts_.size() ? openPorts_[h - 1] : std::wstring();
}

ReadResult RecordingPlatform::ReadPort(PortHandle port, std::uint8_t* buffer, std::uint32_t count) {
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
  const std::wstring name = PortName(port);
  writes.emplace_back(name, byte);
  FakeBoard& board = boards[name];
  if (board.writesFail) return false;
  if (byte == 0xEE && board.answersHandshake) board.reads.push_back({{0xDD}});
  return true;
}

void RecordingPlatform::ClosePort(PortHandle port) { closed.push_back(PortName(port)); }

ThreadHandle RecordingPlatform::StartReaderThread(std::function<void()> body) {
  if (threadsFailToStart) return ThreadHandle::None;
  if (runThreadsAtOnce) body();
  threads.push_back(std::move(body));
  return static_cast<ThreadHandle>(threads.size());
}

void RecordingPlatform::Sleep(std::uint32_t milliseconds) {
  sleeps.push_back(milliseconds);
  nowMs += milliseconds;
  if (onSleep) onSleep();
}

ClockReading RecordingPlatform::ReadClock() {
  return {static_cast<std::int32_t>(nowMs / 1000), static_cast<std::int32_t>(nowMs % 1000)};
}

std::uint32_t RecordingPlatform::SendInput(const InputRecord* records, std::uint32_t count) {
  inputs.emplace_back(records, records + count);
  return count;
}

CursorHandle RecordingPlatform::ShowBusyCursor() {
  ++busyCursorCalls;
  return static_cast<CursorHandle>(0xC0);
}

std::int32_t RecordingPlatform::ReadSetting(const std::wstring& section, const std::wstring& key,
                                            std::int32_t defaultValue) {
  auto s = settings.find(Lower(section));
  if (s == settings.end()) return defaultValue;
  auto k = s->second.find(Lower(key));
  if (k == s->second.end()) return defaultValue;
  return LeadingInteger(k->second);
}

void RecordingPlatform::WriteSetting(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
  settingWrites.emplace_back(key, value);
  settings[Lower(section)][Lower(key)] = value;
}

}  // namespace velno::testing
