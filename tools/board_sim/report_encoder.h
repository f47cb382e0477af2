// The six-byte reports the board sends: lead byte, Y high, Y low, X high, X low, XOR of bytes 0 to 4.
#pragma once

#include <array>
#include <cstdint>

namespace board_sim {

using Report = std::array<std::uint8_t, 6>;

inline constexpr int kMaxBoardCoordinate = 32767;
inline constexpr int kButtonCount = 16;

inline constexpr std::uint8_t kPenDownLead = 0xFA;
inline constexpr std::uint8_t kPenUpLead = 0xFC;
inline constexpr std::uint8_t kButtonPressLead = 0xA1;    // + button number
inline constexpr std::uint8_t kButtonReleaseLead = 0xC1;  // + button number

enum class Pen { Down, Up };

std::uint8_t ReportChecksum(const Report& report);

// x and y in board units, 0 to kMaxBoardCoordinate; each travels shifted left by one, Y first.
Report EncodePenReport(Pen pen, int x, int y);

// button 0 to kButtonCount - 1; only the lead byte carries information, the rest are zero.
Report EncodeButtonReport(int button, bool pressed);

// The same report with a checksum byte that does not match bytes 0 to 4.
Report WithBadChecksum(Report report);

}  // namespace board_sim
