// Building board reports for tests.
#pragma once

#include <cstdint>

#include "link/board_report.h"

namespace velno::testing {

inline BoardReport MakeReport(std::uint8_t lead, std::int32_t x, std::int32_t y) {
  const auto ux = static_cast<std::uint16_t>(x << 1);
  const auto uy = static_cast<std::uint16_t>(y << 1);
  BoardReport r{lead, static_cast<std::uint8_t>(uy >> 8), static_cast<std::uint8_t>(uy & 0xFF),
                static_cast<std::uint8_t>(ux >> 8), static_cast<std::uint8_t>(ux & 0xFF), 0};
  r[5] = ReportChecksum(r);
  return r;
}

inline BoardReport PenDown(std::int32_t x, std::int32_t y) { return MakeReport(kPenDownLead, x, y); }
inline BoardReport PenUp(std::int32_t x, std::int32_t y) { return MakeReport(kPenUpLead, x, y); }

}  // namespace velno::testing
