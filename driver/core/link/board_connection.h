// The board's serial link: finding its port, the 0xEE/0xDD handshake, and the reader that frames the
// byte stream into reports, keeps a silent board alive and notices a lost one. It hands each report on to
// the sink the driver wires to it, and knows nothing of what becomes of them.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "link/board_report.h"
#include "link/link_health.h"
#include "link/report_framer.h"
#include "link/serial_link.h"
#include "platform/clock.h"
#include "platform/event_log.h"
#include "platform/serial_ports.h"
#include "platform/shared_state.h"

namespace velno {

inline constexpr std::uint8_t kHandshakeByte = 0xEE;
inline constexpr std::uint8_t kHandshakeAnswer = 0xDD;
inline constexpr std::uint32_t kHandshakeWaitMs = 50;
inline constexpr std::uint32_t kKeepAliveEvery = 3;          // empty passes between keep-alive bytes
inline constexpr std::uint32_t kHandshakeAfterEmpty = 200;   // empty passes before the board is asked again

// Looks for an answering board on a CP210x port that the other slot's link does not hold. On success
// `link` holds the port and its name and the port is returned. Both links are read and written under
// linkLock.
PortHandle FindBoardPort(SerialPorts& ports, Clock& clock, const SharedState& sharedState, std::mutex& linkLock,
                         SerialLink& link, const SerialLink& otherSlotLink);

// Writes 0xEE, waits 50 ms and expects exactly one 0xDD. Publishes the board as connected on success.
bool CheckBoard(SerialPorts& ports, Clock& clock, const SharedState& sharedState, PortHandle port);

// What a reader hands on: each framed, valid report, and the end of every pass (also of one whose read
// timed out, so that work the driver does between reports goes on while the pen rests).
class ReaderSink {
 public:
  virtual ~ReaderSink() = default;
  virtual void TakeReport(const BoardReport& report) = 0;
  virtual void PassEnded() = 0;
};

// The roles a reader uses: the port, the clock of its handshake and of the link's health, and the event
// log that hears of a lost board and an unhealthy link.
struct LinkRoles {
  SerialPorts& ports;
  Clock& clock;
  EventLog& log;
};

struct ReaderState {
  ReportFramer framer;
  std::uint32_t emptyPasses = 1;
  LinkHealth health;
};

// One read, its report handed to the sink, then the empty-pass count with its keep-alive and handshake.
// Returns false when the board was lost (port closed, the link's fields cleared under linkLock).
bool ReaderPass(const LinkRoles& roles, const SharedState& sharedState, std::mutex& linkLock, SerialLink& link,
                ReaderState& state, ReaderSink& sink);

// Passes until `stopFlag` is set or the board is lost.
void RunReaderPasses(const LinkRoles& roles, const SharedState& sharedState, std::mutex& linkLock, SerialLink& link,
                     const std::atomic<bool>& stopFlag, ReaderSink& sink);

// Forgets the slot's port and reader under the link lock (the port itself is closed by the caller).
void ClearLink(std::mutex& linkLock, SerialLink& link);

}  // namespace velno
