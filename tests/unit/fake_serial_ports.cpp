#include "fake_serial_ports.h"

namespace velno::testing {

std::vector<SerialDevice> FakeSerialPorts::ListSerialDevices() {
  std::scoped_lock guard(lock_);
  ++deviceListings;
  return devices;
}

PortHandle FakeSerialPorts::OpenBoardPort(const std::wstring& portName) {
  std::scoped_lock guard(lock_);
  opened.push_back(portName);
  auto it = boards.find(portName);
  if (it == boards.end() || !it->second.opens) return PortHandle::None;
  openPorts_.push_back(portName);
  return static_cast<PortHandle>(openPorts_.size());
}

std::wstring FakeSerialPorts::PortName(PortHandle port) const {
  std::scoped_lock guard(lock_);
  const auto h = static_cast<std::size_t>(port);
  return h >= 1 && h <= openPorts_.size() ? openPorts_[h - 1] : std::wstring();
}

ReadResult FakeSerialPorts::ReadPort(PortHandle port, std::uint8_t* buffer, std::uint32_t count) {
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

bool FakeSerialPorts::WritePort(PortHandle port, std::uint8_t byte) {
  std::scoped_lock guard(lock_);
  const std::wstring name = PortName(port);
  writes.emplace_back(name, byte);
  FakeBoard& board = boards[name];
  if (board.writesFail) return false;
  if (byte == 0xEE && board.answersHandshake) board.reads.push_back({{0xDD}});
  return true;
}

void FakeSerialPorts::ClosePort(PortHandle port) {
  std::scoped_lock guard(lock_);
  closed.push_back(PortName(port));
}

void FakeSerialPorts::KeepSystemAwake() {
  std::scoped_lock guard(lock_);
  ++keepAwakeCalls;
}

}  // namespace velno::testing
