// Serial ports with scripted boards behind them, recording what the driver opens, writes and closes.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/serial_ports.h"

namespace velno::testing {

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

class FakeSerialPorts : public SerialPorts {
 public:
  std::vector<SerialDevice> ListSerialDevices() override;
  PortHandle OpenBoardPort(const std::wstring& portName) override;
  ReadResult ReadPort(PortHandle port, std::uint8_t* buffer, std::uint32_t count) override;
  bool WritePort(PortHandle port, std::uint8_t byte) override;
  void ClosePort(PortHandle port) override;
  void KeepSystemAwake() override;

  std::wstring PortName(PortHandle port) const;

  // Scripted.
  std::vector<SerialDevice> devices;
  std::map<std::wstring, FakeBoard> boards;  // by port name
  // Recorded.
  int deviceListings = 0;
  std::vector<std::wstring> opened;  // port names, in order
  std::vector<std::pair<std::wstring, std::uint8_t>> writes;
  std::vector<std::wstring> closed;
  int keepAwakeCalls = 0;

 private:
  std::vector<std::wstring> openPorts_;  // handle h is openPorts_[h - 1]
  mutable std::recursive_mutex lock_;    // two readers on threads of their own share the boards
};

}  // namespace velno::testing
