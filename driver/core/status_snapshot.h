// The driver's state as its icon shows it, read from another thread without holding the pen up.
#pragma once

#include "driver.h"
#include "tray/driver_status.h"

namespace velno {

// The boards found and the health of their links under the link lock, the calibration run from the library.
DriverStatus ReadDriverStatus(Driver& driver);

// Tells the driver's icon to look again, if anybody listens.
inline void NotifyStatus(const Driver& driver) {
  if (driver.statusChanged) driver.statusChanged();
}

}  // namespace velno
