#include "report_encoder.h"

namespace board_sim {

namespace {

Report Sealed(Report report) {
  report[5] = ReportChecksum(report);
  return report;
}

}  // namespace

std::uint8_t ReportChecksum(const Report& report) {
  return static_cast<std::uint8_t>(report[0] ^ report[1] ^ report[2] ^ report[3] ^ report[4]);
}

Report EncodePenReport(Pen pen, int x, int y) {
  const unsigned wireY = static_cast<unsigned>(y) << 1;
  const unsigned wireX = static_cast<unsigned>(x) << 1;
  return Sealed({pen == Pen::Down ? kPenDownLead : kPenUpLead, static_cast<std::uint8_t>(wireY >> 8),
                 static_cast<std::uint8_t>(wireY & 0xFF), static_cast<std::uint8_t>(wireX >> 8),
                 static_cast<std::uint8_t>(wireX & 0xFF), 0});
}

Report EncodeButtonReport(int button, bool pressed) {
  const int lead = (pressed ? kButtonPressLead : kButtonReleaseLead) + button;
  return Sealed({static_cast<std::uint8_t>(lead), 0, 0, 0, 0, 0});
}

Report WithBadChecksum(Report report) {
  report[5] = static_cast<std::uint8_t>(ReportChecksum(report) ^ 0xFF);
  return report;
}

}  // namespace board_sim
