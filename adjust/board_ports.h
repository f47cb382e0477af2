// The board check: is a port of the board's USB-serial bridge listed among the machine's serial devices?
#pragma once

#include <string>
#include <vector>

namespace adjust {

// How many of the listed device names (the value names of the system's serial-port map, never their
// data) are ports of the bridge, as the board's facts name them.
int CountBoardPorts(const std::vector<std::wstring>& deviceNames);

}  // namespace adjust
