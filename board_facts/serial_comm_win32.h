// The system's serial-port map (HKLM\HARDWARE\DEVICEMAP\SERIALCOMM), where both programs look for the
// board's ports: each value's name is a serial device, its data the name of the port it is reached on.
#pragma once

#include <string>
#include <vector>

namespace velno {

struct SerialCommValue {
  std::wstring deviceName;  // e.g. "\Device\silabser0"
  std::wstring portName;    // e.g. "COM3", untrimmed; empty when the data was not read
};

enum class SerialCommRead {
  // The data is never read, so no value's data, however long, can keep its name out of the list.
  NamesOnly,
  // A value whose data is longer than 260 bytes is left out: it names no port a board is on.
  NamesAndPorts,
};

// Every value of the map in the registry's enumeration order; empty when the map cannot be opened.
std::vector<SerialCommValue> ReadSerialCommMap(SerialCommRead read);

}  // namespace velno
