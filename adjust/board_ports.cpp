#include "board_ports.h"

#include <algorithm>

#include "board_facts.h"

namespace adjust {

int CountBoardPorts(const std::vector<std::wstring>& deviceNames) {
  return static_cast<int>(std::count_if(deviceNames.begin(), deviceNames.end(),
                                        [](const std::wstring& name) { return velno::IsBoardPortName(name); }));
}

}  // namespace adjust
