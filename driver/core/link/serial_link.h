// A board's serial link: the open port, the name it was found under and the reader thread.
#pragma once

#include <string>

#include "platform/platform_types.h"

namespace velno {

// Guarded by the driver's linkLock: the supervisor sets it, the slot's reader clears it.
struct SerialLink {
  PortHandle port = PortHandle::None;
  std::wstring portName;
  ThreadHandle reader = ThreadHandle::None;
  bool unreliable = false;  // the reader's last full minute was unhealthy (link_health.h)
};

}  // namespace velno
