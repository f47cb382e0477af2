// The board's serial link: finding its port, the 0xEE/0xDD handshake, and the reader that frames the
// byte stream into reports, keeps a silent board alive and notices a lost one.
#pragma once

#include <cstdint>
#include <mutex>

#include "driver.h"
#include "link/link_health.h"
#include "link/report_framer.h"

namespace velno {

inline constexpr std::uint8_t kHandshakeByte = 0xEE;
inline constexpr std::uint8_t kHandshakeAnswer = 0xDD;
inline constexpr std::uint32_t kHandshakeWaitMs = 50;
inline constexpr std::uint32_t kKeepAliveEvery = 3;          // empty passes between keep-alive bytes
inline constexpr std::uint32_t kHandshakeAfterEmpty = 200;   // empty passes before the board is asked again

// Looks for an answering board on a CP210x port that the other slot's link does not hold. On success
// `link` holds the port and its name and the port is returned. Both links are read and written under
// linkLock.
PortHandle FindBoardPort(DriverPlatform& platform, const SharedState& sharedState, std::mutex& linkLock, SerialLink& link,
                         const SerialLink& otherSlotLink);

// Writes 0xEE, waits 50 ms and expects exactly one 0xDD. Publishes the board as connected on success.
bool CheckBoard(DriverPlatform& platform, const SharedState& sharedState, PortHandle port);

struct ReaderState {
  ReportFramer framer;
  std::uint32_t emptyPasses = 1;
  LinkHealth health;
};

// One read, its reports dispatched, then the empty-pass count with its keep-alive and handshake.
// Returns false when the board was lost (port closed, the slot's link fields cleared).
bool ReaderPass(Driver& driver, int slot, ReaderState& state);

// The body of a board's reader thread: passes until the driver stops or the board is lost.
void ReaderThread(Driver& driver, int slot);

// Forgets the slot's port and reader under the link lock (the port itself is closed by the caller).
void ClearLink(std::mutex& linkLock, SerialLink& link);

}  // namespace velno
