// The notifications of the driver's icon: a board found, a board lost. At most one of each kind a
// minute, so that a loose cable does not flood the screen; the icon's tooltip always shows the state. A
// board found as the driver starts is no news: the teacher has just logged on to a PC whose board works.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tray/driver_status.h"

namespace velno {

inline constexpr std::uint64_t kNoticeGapMs = 60000;
// How long after the first look the first board found still counts as there from the start.
inline constexpr std::uint64_t kQuietStartMs = 10000;

enum class NoticeKind { BoardFound, BoardLost, ActionNotStarted };

struct StatusNotice {
  NoticeKind kind;
  std::wstring title;
  std::wstring text;

  friend bool operator==(const StatusNotice&, const StatusNotice&) = default;
};

// What the notices have seen so far: the first look, whether a board was ever there, the ports at the
// last look and when each kind was last shown.
struct NoticeGate {
  std::optional<std::uint64_t> firstLookMs;
  bool boardSeen = false;
  std::vector<std::wstring> ports;
  std::optional<std::uint64_t> lastFoundMs;
  std::optional<std::uint64_t> lastLostMs;
};

// The notices for the driver's state at `nowMs`: a port that went away, then one that came.
std::vector<StatusNotice> TakeNotices(NoticeGate& gate, const DriverStatus& status, std::uint64_t nowMs);

}  // namespace velno
