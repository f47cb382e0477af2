#include <gtest/gtest.h>

#include "link/board_report.h"
#include "board_sim/report_encoder.h"

namespace board_sim {
namespace {

TEST(BoardSimReportEncoder, PenReportsAreByteExact) {
  EXPECT_EQ(EncodePenReport(Pen::Down, 11068, 2330), (Report{0xFA, 0x12, 0x34, 0x56, 0x78, 0xF2}));
  EXPECT_EQ(EncodePenReport(Pen::Up, 11068, 2330), (Report{0xFC, 0x12, 0x34, 0x56, 0x78, 0xF4}));
  EXPECT_EQ(EncodePenReport(Pen::Up, 0, 0), (Report{0xFC, 0, 0, 0, 0, 0xFC}));
  // The largest coordinate fills the high byte; the lowest bit on the wire is always 0.
  EXPECT_EQ(EncodePenReport(Pen::Down, kMaxBoardCoordinate, 1), (Report{0xFA, 0x00, 0x02, 0xFF, 0xFE, 0xF9}));
}

TEST(BoardSimReportEncoder, ButtonReportsCarryOnlyTheLead) {
  EXPECT_EQ(EncodeButtonReport(0, true), (Report{0xA1, 0, 0, 0, 0, 0xA1}));
  EXPECT_EQ(EncodeButtonReport(15, true), (Report{0xB0, 0, 0, 0, 0, 0xB0}));
  EXPECT_EQ(EncodeButtonReport(0, false), (Report{0xC1, 0, 0, 0, 0, 0xC1}));
  EXPECT_EQ(EncodeButtonReport(15, false), (Report{0xD0, 0, 0, 0, 0, 0xD0}));
}

// The driver's own framing and decoding must accept what the simulator sends, position for position.
TEST(BoardSimReportEncoder, DriverDecodesEveryEncodedReport) {
  for (int x = 0; x <= kMaxBoardCoordinate; x += 97) {
    const int y = kMaxBoardCoordinate - x;
    for (const Pen pen : {Pen::Down, Pen::Up}) {
      const Report report = EncodePenReport(pen, x, y);
      ASSERT_TRUE(velno::IsValidReport(report)) << x << "," << y;
      EXPECT_EQ(report[0], pen == Pen::Down ? velno::kPenDownLead : velno::kPenUpLead);
      const velno::PenPosition decoded = velno::DecodePenPosition(report);
      ASSERT_EQ(decoded.x, x);
      ASSERT_EQ(decoded.y, y);
    }
  }
  for (int button = 0; button < kButtonCount; ++button) {
    EXPECT_TRUE(velno::IsButtonPressLead(EncodeButtonReport(button, true)[0]));
    EXPECT_TRUE(velno::IsButtonReleaseLead(EncodeButtonReport(button, false)[0]));
    EXPECT_TRUE(velno::IsValidReport(EncodeButtonReport(button, true)));
  }
}

TEST(BoardSimReportEncoder, BadChecksumIsRejectedByTheDriverButKeepsThePayload) {
  const Report good = EncodePenReport(Pen::Down, 11068, 2330);
  const Report bad = WithBadChecksum(good);
  EXPECT_FALSE(velno::IsValidReport(bad));
  EXPECT_TRUE(std::equal(good.begin(), good.begin() + 5, bad.begin()));
  EXPECT_FALSE(velno::IsValidReport(WithBadChecksum(EncodeButtonReport(3, true))));
}

}  // namespace
}  // namespace board_sim
