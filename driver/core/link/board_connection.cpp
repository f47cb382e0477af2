#include "link/board_connection.h"

#include <cwctype>

#include "board_facts.h"
#include "pointer/report_handler.h"
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

void LoseBoard(DriverPlatform& platform, std::mutex& linkLock, SerialLink& link) {
  platform.WriteEventLog(LogEvent::BoardLost, {link.portName});
  platform.ClosePort(link.port);
  ClearLink(linkLock, link);
}

// Counts a report the read completed or bytes it dropped (a bad checksum, stray bytes), and logs a minute
// in which too many were dropped.
void CountForHealth(DriverPlatform& platform, const SerialLink& link, LinkHealth& health, bool dropped) {
  const TimeStamp now = platform.ReadClock();
  const std::uint64_t nowMs =
      static_cast<std::uint64_t>(now.seconds) * 1000 + static_cast<std::uint64_t>(now.milliseconds);
  if (const auto warning = CountReport(health, nowMs, dropped)) {
    platform.WriteEventLog(LogEvent::LinkUnhealthy,
                           {link.portName, std::to_wstring(warning->dropped), std::to_wstring(warning->reports)});
  }
}

}  // namespace

void ClearLink(std::mutex& linkLock, SerialLink& link) {
  std::lock_guard lock(linkLock);
  link = SerialLink{};
}

PortHandle FindBoardPort(DriverPlatform& platform, const SharedState& sharedState, std::mutex& linkLock, SerialLink& link,
                         const SerialLink& otherSlotLink) {
  ClearLink(linkLock, link);
  for (const SerialDevice& device : platform.ListSerialDevices()) {
    if (!IsBoardPortName(device.deviceName)) continue;
    const std::wstring candidate = Trimmed(device.portName);
    if (HeldBy(linkLock, otherSlotLink, candidate)) continue;
    const PortHandle port = platform.OpenBoardPort(candidate);
    if (port == PortHandle::None) continue;
    if (!CheckBoard(platform, sharedState, port)) {
      platform.ClosePort(port);
      continue;
    }
    std::lock_guard lock(linkLock);
    link.port = port;
    link.portName = candidate;
    return port;
  }
  return PortHandle::None;
}

bool CheckBoard(DriverPlatform& platform, const SharedState& sharedState, PortHandle port) {
  const bool written = platform.WritePort(port, kHandshakeByte);
  platform.Sleep(kHandshakeWaitMs);
  if (!written) return false;
  std::uint8_t answer = 0;
  const ReadResult read = platform.ReadPort(port, &answer, 1);
  if (!read.ok || read.count != 1 || answer != kHandshakeAnswer) return false;
  sharedState.SetDeviceState(kDeviceConnected);
  platform.KeepSystemAwake();
  return true;
}

bool ReaderPass(Driver& driver, int slot, ReaderState& state) {
  BoardContext& board = driver.boards[slot];
  DriverPlatform& platform = driver.platform;
  // Only this thread clears the slot's port, and the supervisor set it before starting the thread.
  const PortHandle port = board.link.port;

  const ReadResult read = platform.ReadPort(port, ReadTarget(state.framer), BytesWanted(state.framer));
  const std::uint32_t arrived = read.ok ? read.count : 0;
  const std::uint32_t heldBefore = state.framer.held;
  const bool complete = TakeRead(state.framer, arrived);
  if (complete) HandleReport(platform, driver.sharedState, driver.capture, board, state.framer.buffer);
  // Bytes that arrived and are neither a report nor held for the rest of one were dropped.
  if (complete || (arrived > 0 && state.framer.held != heldBefore + arrived)) {
    CountForHealth(platform, board.link, state.health, !complete);
  }
  // Every pass, also when the read timed out: a run left behind must end while the pen rests.
  WatchRuns(platform, driver.sharedState, driver.runWatch);

  if (arrived > 0) {
    state.emptyPasses = 0;
    return true;
  }
  ++state.emptyPasses;
  // Where an unplugged port's reads time out instead of failing, a failed keep-alive write is the
  // first sign that the board is gone: ask it at once rather than after 200 silent passes.
  bool keepAliveFailed = false;
  if (state.emptyPasses % kKeepAliveEvery == 0) keepAliveFailed = !platform.WritePort(port, kHandshakeByte);
  if (state.emptyPasses > kHandshakeAfterEmpty || keepAliveFailed) {
    if (!CheckBoard(platform, driver.sharedState, port)) {
      LoseBoard(platform, driver.linkLock, board.link);
      return false;
    }
    state.emptyPasses = 0;
  }
  return true;
}

void ReaderThread(Driver& driver, int slot) {
  ReaderState state;
  while (!driver.stopFlag.load()) {
    if (!ReaderPass(driver, slot, state)) return;
  }
}

}  // namespace velno
