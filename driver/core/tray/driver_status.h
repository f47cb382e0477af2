// What the driver's icon shows, as one snapshot of the driver: the boards that answer, the health of
// their links, and whether a calibration runs.
#pragma once

#include <string>
#include <vector>

namespace velno {

struct DriverStatus {
  std::vector<std::wstring> ports;  // the ports of the boards found, by slot
  bool linkUnreliable = false;      // a board's link dropped over 1 % of its reports in its last minute
  bool calibrating = false;         // a calibration run is on

  friend bool operator==(const DriverStatus&, const DriverStatus&) = default;
};

}  // namespace velno
