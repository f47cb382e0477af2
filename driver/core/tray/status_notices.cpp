#include "tray/status_notices.h"

#include <algorithm>

namespace velno {
namespace {

// The first port of `ports` that `others` lacks.
std::optional<std::wstring> FirstMissingFrom(const std::vector<std::wstring>& ports,
                                             const std::vector<std::wstring>& others) {
  for (const std::wstring& port : ports) {
    if (std::find(others.begin(), others.end(), port) == others.end()) return port;
  }
  return std::nullopt;
}

// Whether a notice of a kind last shown at `last` may show at `nowMs`; if so, it is taken.
bool MayShow(std::optional<std::uint64_t>& last, std::uint64_t nowMs) {
  if (last && nowMs - *last < kNoticeGapMs) return false;
  last = nowMs;
  return true;
}

}  // namespace

std::vector<StatusNotice> TakeNotices(NoticeGate& gate, const DriverStatus& status, std::uint64_t nowMs) {
  std::vector<StatusNotice> notices;
  if (!gate.firstLookMs) gate.firstLookMs = nowMs;
  const auto lost = FirstMissingFrom(gate.ports, status.ports);
  const auto found = FirstMissingFrom(status.ports, gate.ports);
  const bool starting = !gate.boardSeen && nowMs - *gate.firstLookMs < kQuietStartMs;
  gate.boardSeen = gate.boardSeen || !status.ports.empty();
  gate.ports = status.ports;
  if (lost && MayShow(gate.lastLostMs, nowMs)) {
    notices.push_back({NoticeKind::BoardLost, L"Whiteboard disconnected",
                       L"Whiteboard disconnected: check the USB cable (" + *lost + L")."});
  }
  if (found && !starting && MayShow(gate.lastFoundMs, nowMs)) {
    notices.push_back({NoticeKind::BoardFound, L"Whiteboard ready", L"The whiteboard is connected on " + *found + L"."});
  }
  return notices;
}

}  // namespace velno
