// The board check: is a port of the board's USB-serial bridge listed among the machine's serial devices?
#pragma once

#include <string>
#include <vector>

namespace adjust {

// True for a serial device name that begins with "\Device\silabser" or "\Device\slabser" in any letter
// case ("\Device\silabser0" is the first port of the bridge's driver).
bool IsBoardPortName(std::wstring_view deviceName);

// How many of the listed device names (the value names of the system's serial-port map, never their
// data) are ports of the bridge.
int CountBoardPorts(const std::vector<std::wstring>& deviceNames);

}  // namespace adjust
