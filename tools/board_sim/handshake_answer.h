// How the board answers the host's handshake and keep-alive byte.
#pragma once

#include <cstdint>
#include <optional>

namespace board_sim {

inline constexpr std::uint8_t kHandshakeRequest = 0xEE;
inline constexpr std::uint8_t kHandshakeAnswer = 0xDD;
// Answered in Wrong mode: neither the handshake answer nor a lead byte.
inline constexpr std::uint8_t kWrongAnswer = 0x55;

enum class AnswerMode { Normal, Silent, Wrong };

// The byte the board sends back on receiving `received`, if any. Only 0xEE is ever answered.
constexpr std::optional<std::uint8_t> AnswerTo(std::uint8_t received, AnswerMode mode) {
  if (received != kHandshakeRequest) return std::nullopt;
  switch (mode) {
    case AnswerMode::Normal:
      return kHandshakeAnswer;
    case AnswerMode::Wrong:
      return kWrongAnswer;
    case AnswerMode::Silent:
      break;
  }
  return std::nullopt;
}

}  // namespace board_sim
