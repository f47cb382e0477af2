// The records and handles that pass through the platform seam, with nothing of the driver's features.
#pragma once

#include <cstdint>
#include <string>

namespace velno {

// Opaque platform handles; None is "no handle".
enum class PortHandle : std::uintptr_t { None = 0 };
enum class ThreadHandle : std::uintptr_t { None = 0 };
enum class CursorHandle : std::uintptr_t { None = 0 };

// One serial device present on the machine: the driver's device name and the port it is reached on.
struct SerialDevice {
  std::wstring deviceName;  // e.g. "\Device\silabser0"
  std::wstring portName;    // e.g. "COM3", untrimmed
};

struct ReadResult {
  bool ok;              // false when the read itself failed
  std::uint32_t count;  // bytes that arrived; 0 when the read timed out
};

// Whole seconds of time() and the milliseconds field of the local time, read one after the other. The
// two fields come from two readings and are only ever combined by ElapsedMilliseconds.
struct TimeStamp {
  std::int32_t seconds;
  std::int32_t milliseconds;
};

}  // namespace velno
