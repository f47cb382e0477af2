// The serial ports the board is found and read on.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform_types.h"

namespace velno {

class SerialPorts {
 public:
  virtual ~SerialPorts() = default;

  // The serial devices present, in the system's order.
  virtual std::vector<SerialDevice> ListSerialDevices() = 0;
  // Opens the port exclusively and sets it to 9600 8N1 with the board's read time-outs (30 ms between
  // bytes, 150 ms per byte plus 200 ms a read); None on failure.
  virtual PortHandle OpenBoardPort(const std::wstring& portName) = 0;
  virtual ReadResult ReadPort(PortHandle port, std::uint8_t* buffer, std::uint32_t count) = 0;
  virtual bool WritePort(PortHandle port, std::uint8_t byte) = 0;
  virtual void ClosePort(PortHandle port) = 0;
  // Resets the system's idle timer (a board that answers keeps the machine from sleeping).
  virtual void KeepSystemAwake() = 0;
};

}  // namespace velno
