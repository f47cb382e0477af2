#include "link/board_connection.h"

#include <cwctype>

#include "board_facts.h"
#include "shared_block.h"

namespace velno {
namespace {

std::wstring Trimmed(const std::wstring& s) {
  const auto isSpace = [](wchar_t c) { return std::iswspace(static_cast<wint_t>(c)) != 0; };
  std::size_t begin = 0;
  std::size_t end = s.size();
  while (begin < end && isSpace(s[begin])) ++begin;
  while (end > begin && isSpace(s[end - 1])) --end;
  return s.substr(begin, end - begin);
}

bool HeldBy(std::mutex& linkLock, const SerialLink& link, const std::wstring& portName) {
  std::lock_guard lock(linkLock);
  return link.port != PortHandle::None && link.portName == portName;
}

void LoseBoard(const LinkRoles& roles, std::mutex& linkLock, SerialLink& link) {
  roles.log.WriteEventLog(LogEvent::BoardLost, {link.portName});
  roles.ports.ClosePort(link.port);
  ClearLink(linkLock, link);
}

// Counts a report the read completed or bytes it dropped (a bad checksum, stray bytes), logs a minute
// in which too many were dropped, and shows the link's health in the slot for the driver's icon.
void CountForHealth(const LinkRoles& roles, std::mutex& linkLock, SerialLink& link, LinkHealth& health,
                    bool dropped) {
  if (const auto warning = CountReport(health, roles.clock.ReadMonotonicMs(), dropped)) {
    roles.log.WriteEventLog(LogEvent::LinkUnhealthy,
                           {link.portName, std::to_wstring(warning->dropped), std::to_wstring(warning->reports)});
  }
  if (health.unreliable != link.unreliable) {
    std::lock_guard lock(linkLock);
    link.unreliable = health.unreliable;
  }
}

}  // namespace

void ClearLink(std::mutex& linkLock, SerialLink& link) {
  std::lock_guard lock(linkLock);
  link = SerialLink{};
}

PortHandle FindBoardPort(SerialPorts& ports, Clock& clock, const SharedState& sharedState, std::mutex& linkLock,
                         SerialLink& link, const SerialLink& otherSlotLink) {
  ClearLink(linkLock, link);
  for (const SerialDevice& device : ports.ListSerialDevices()) {
    if (!IsBoardPortName(device.deviceName)) continue;
    const std::wstring candidate = Trimmed(device.portName);
    if (HeldBy(linkLock, otherSlotLink, candidate)) continue;
    const PortHandle port = ports.OpenBoardPort(candidate);
    if (port == PortHandle::None) continue;
    if (!CheckBoard(ports, clock, sharedState, port)) {
      ports.ClosePort(port);
      continue;
    }
    std::lock_guard lock(linkLock);
    link.port = port;
    link.portName = candidate;
    return port;
  }
  return PortHandle::None;
}

bool CheckBoard(SerialPorts& ports, Clock& clock, const SharedState& sharedState, PortHandle port) {
  const bool written = ports.WritePort(port, kHandshakeByte);
  clock.Sleep(kHandshakeWaitMs);
  if (!written) return false;
  std::uint8_t answer = 0;
  const ReadResult read = ports.ReadPort(port, &answer, 1);
  if (!read.ok || read.count != 1 || answer != kHandshakeAnswer) return false;
  sharedState.SetDeviceState(kDeviceConnected);
  ports.KeepSystemAwake();
  return true;
}

bool ReaderPass(const LinkRoles& roles, const SharedState& sharedState, std::mutex& linkLock, SerialLink& link,
                ReaderState& state, ReaderSink& sink) {
  // Only the reader clears its link's port, and the supervisor set it before starting the reader.
  const PortHandle port = link.port;

  const ReadResult read = roles.ports.ReadPort(port, ReadTarget(state.framer), BytesWanted(state.framer));
  const std::uint32_t arrived = read.ok ? read.count : 0;
  const std::uint32_t heldBefore = state.framer.held;
  const bool complete = TakeRead(state.framer, arrived);
  if (complete) sink.TakeReport(state.framer.buffer);
  // Bytes that arrived and are neither a report nor held for the rest of one were dropped.
  if (complete || (arrived > 0 && state.framer.held != heldBefore + arrived)) {
    CountForHealth(roles, linkLock, link, state.health, !complete);
  }
  // Every pass, also when the read timed out.
  sink.PassEnded();

  if (arrived > 0) {
    state.emptyPasses = 0;
    return true;
  }
  ++state.emptyPasses;
  // Where an unplugged port's reads time out instead of failing, a failed keep-alive write is the
  // first sign that the board is gone: ask it at once rather than after 200 silent passes.
  bool keepAliveFailed = false;
  if (state.emptyPasses % kKeepAliveEvery == 0) keepAliveFailed = !roles.ports.WritePort(port, kHandshakeByte);
  if (state.emptyPasses > kHandshakeAfterEmpty || keepAliveFailed) {
    if (!CheckBoard(roles.ports, roles.clock, sharedState, port)) {
      LoseBoard(roles, linkLock, link);
      return false;
    }
    state.emptyPasses = 0;
  }
  return true;
}

void RunReaderPasses(const LinkRoles& roles, const SharedState& sharedState, std::mutex& linkLock, SerialLink& link,
                     const std::atomic<bool>& stopFlag, ReaderSink& sink) {
  ReaderState state;
  while (!stopFlag.load()) {
    if (!ReaderPass(roles, sharedState, linkLock, link, state, sink)) return;
  }
}

}  // namespace velno
