#include "link/report_framer.h"

#include <gtest/gtest.h>

#include <vector>

namespace velno {
namespace {

// Plays one read of `bytes` into the framer and returns whether a report is to be dispatched.
bool Read(ReportFramer& f, const std::vector<std::uint8_t>& bytes, bool ok = true) {
  EXPECT_LE(bytes.size(), BytesWanted(f));
  std::copy(bytes.begin(), bytes.end(), ReadTarget(f));
  return TakeRead(f, ok ? static_cast<std::uint32_t>(bytes.size()) : 0u);
}

TEST(ReportFraming, AWholeReportInOneReadIsDispatched) {
  ReportFramer f;
  EXPECT_EQ(BytesWanted(f), 6u);
  EXPECT_TRUE(Read(f, {0xFA, 0x12, 0x34, 0x56, 0x78, 0xF2}));
  EXPECT_EQ(f.held, 0u);
}

TEST(ReportFraming, ALeadByteLaterInTheReadIsKeptAndCompletedByTheNextRead) {
  ReportFramer f;
  EXPECT_FALSE(Read(f, {0x00, 0xFA, 0x12, 0x34, 0x56, 0x78}));
  EXPECT_EQ(f.held, 5u);
  EXPECT_EQ(BytesWanted(f), 1u);
  EXPECT_TRUE(Read(f, {0xF2}));
  EXPECT_EQ(f.buffer, (BoardReport{0xFA, 0x12, 0x34, 0x56, 0x78, 0xF2}));
  EXPECT_EQ(f.held, 0u);
}

TEST(ReportFraming, SixBytesWithoutALaterLeadByteAreDropped) {
  ReportFramer f;
  EXPECT_FALSE(Read(f, {0xFA, 0x00, 0x01, 0x02, 0x03, 0x04}));  // bad checksum, no lead byte after the first
  EXPECT_EQ(f.held, 0u);
  EXPECT_EQ(BytesWanted(f), 6u);
}

TEST(ReportFraming, ALoneHandshakeAnswerIsDropped) {
  ReportFramer f;
  EXPECT_FALSE(Read(f, {0xDD}));
  EXPECT_EQ(f.held, 0u);
}

TEST(ReportFraming, ABadChecksumIsNeverDispatchedButALaterLeadByteIsKept) {
  ReportFramer f;
  EXPECT_FALSE(Read(f, {0xFA, 0x12, 0xFC, 0x56, 0x78, 0x00}));
  EXPECT_EQ(f.held, 4u);  // FC 56 78 00
  EXPECT_FALSE(Read(f, {0x01, 0x02}));
  // FC 56 78 00 01 02 has a bad checksum and no lead byte after FC.
  EXPECT_EQ(f.held, 0u);
}

TEST(ReportFraming, HeldBytesAreDroppedWhenTheNextReadBringsNothing) {
  ReportFramer f;
  EXPECT_FALSE(Read(f, {0x00, 0x00, 0x00, 0xFA, 0x12, 0x34}));
  EXPECT_EQ(f.held, 3u);
  EXPECT_FALSE(Read(f, {}));
  EXPECT_EQ(f.held, 0u);
  EXPECT_FALSE(Read(f, {}, false));
  EXPECT_EQ(f.held, 0u);
}

TEST(ReportFraming, AReportSplitOverSeveralReadsIsKeptUntilItIsWhole) {
  ReportFramer f;
  EXPECT_FALSE(Read(f, {0xFA, 0x12}));
  EXPECT_EQ(f.held, 2u);
  EXPECT_FALSE(Read(f, {0x34}));
  EXPECT_FALSE(Read(f, {0x56, 0x78}));
  EXPECT_EQ(BytesWanted(f), 1u);
  EXPECT_TRUE(Read(f, {0xF2}));
  EXPECT_EQ(f.buffer, (BoardReport{0xFA, 0x12, 0x34, 0x56, 0x78, 0xF2}));
}

TEST(ReportFraming, AShortReadStartingWithJunkKeepsItsFirstLeadByte) {
  ReportFramer f;
  EXPECT_FALSE(Read(f, {0x00, 0x13, 0xC1}));
  EXPECT_EQ(f.held, 1u);
  EXPECT_EQ(f.buffer[0], 0xC1);
  EXPECT_TRUE(Read(f, {0x00, 0x00, 0x00, 0x00, 0xC1}));
}

// Bytes that earlier reads left in the buffer never complete a report: a short read after a whole
// report waits for its own bytes instead of dispatching the old report again.
TEST(ReportFraming, PositionsAReadDidNotFillNeverCount) {
  ReportFramer f;
  ASSERT_TRUE(Read(f, {0xFA, 0x12, 0x34, 0x56, 0x78, 0xF2}));
  EXPECT_FALSE(Read(f, {0xFA, 0x12}));  // FA 12 + 34 56 78 F2 left over would be valid
  EXPECT_EQ(f.held, 2u);
  EXPECT_FALSE(Read(f, {}));            // the rest never comes: dropped
  EXPECT_EQ(f.held, 0u);
  EXPECT_FALSE(Read(f, {0x00, 0x00}));  // no lead byte at all
  EXPECT_EQ(f.held, 0u);
}

}  // namespace
}  // namespace velno
