#include "platform/time_stamp.h"

#include <gtest/gtest.h>

namespace velno {
namespace {

TEST(TimeStamp, ElapsedCombinesTheFieldsAcrossSecondBoundaries) {
  EXPECT_EQ(ElapsedMilliseconds({10, 999}, {11, 0}), 1);
  EXPECT_EQ(ElapsedMilliseconds({10, 400}, {10, 999}), 599);
  EXPECT_EQ(ElapsedMilliseconds({10, 900}, {11, 500}), 600);
  EXPECT_EQ(ElapsedMilliseconds({11, 500}, {10, 900}), -600);  // the clock went back
  // The milliseconds field and time() are read apart: one can tick over before the other.
  EXPECT_EQ(ElapsedMilliseconds({10, 999}, {10, 0}), -999);
}

TEST(TimeStamp, ElapsedFromAZeroStampWrapsAs32BitArithmetic) {
  // 1'700'000'000 * 1000 leaves the 32-bit range; the result is that product modulo 2^32.
  const std::int64_t exact = 1'700'000'000LL * 1000 + 5;
  const auto wrapped = static_cast<std::int32_t>(static_cast<std::uint32_t>(exact & 0xFFFFFFFF));
  EXPECT_EQ(ElapsedMilliseconds({0, 0}, {1'700'000'000, 5}), wrapped);
}

}  // namespace
}  // namespace velno
