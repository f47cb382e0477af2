// The board's six-byte report: lead byte, Y high, Y low, X high, X low, XOR checksum of bytes 0 to 4.
#pragma once

#include <array>
#include <cstdint>

namespace velno {

using BoardReport = std::array<std::uint8_t, 6>;

inline constexpr std::uint8_t kPenDownLead = 0xFA;  // pen on the surface
inline constexpr std::uint8_t kPenUpLead = 0xFC;    // pen lifted
inline constexpr std::uint8_t kButtonPressFirst = 0xA1;
inline constexpr std::uint8_t kButtonPressLast = 0xB0;
inline constexpr std::uint8_t kButtonReleaseFirst = 0xC1;
inline constexpr std::uint8_t kButtonReleaseLast = 0xD0;

constexpr bool IsButtonPressLead(std::uint8_t b) { return b >= kButtonPressFirst && b <= kButtonPressLast; }
constexpr bool IsButtonReleaseLead(std::uint8_t b) { return b >= kButtonReleaseFirst && b <= kButtonReleaseLast; }
constexpr bool IsPenLead(std::uint8_t b) { return b == kPenDownLead || b == kPenUpLead; }
constexpr bool IsLeadByte(std::uint8_t b) { return IsPenLead(b) || IsButtonPressLead(b) || IsButtonReleaseLead(b); }

constexpr std::uint8_t ReportChecksum(const BoardReport& r) {
  return static_cast<std::uint8_t>(r[0] ^ r[1] ^ r[2] ^ r[3] ^ r[4]);
}

constexpr bool IsValidReport(const BoardReport& r) { return IsLeadByte(r[0]) && r[5] == ReportChecksum(r); }

struct PenPosition {
  std::int32_t x;
  std::int32_t y;
};

// Y comes first in the report; both are big-endian 16-bit values whose lowest bit is dropped.
constexpr PenPosition DecodePenPosition(const BoardReport& r) {
  return {((r[3] << 8) | r[4]) >> 1, ((r[1] << 8) | r[2]) >> 1};
}

}  // namespace velno
