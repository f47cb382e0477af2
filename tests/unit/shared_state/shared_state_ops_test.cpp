#include "shared_state_ops.h"

#include <gtest/gtest.h>

namespace velno {
namespace {

TEST(SharedStateRun, StartSetStopFollowTheIndexWord) {
  SharedBlock b{};
  EXPECT_EQ(IsAdjusting(b), 0);
  EXPECT_EQ(StartAdjust(b), 1);
  EXPECT_EQ(GetAdjustCurrentIndex(b), 1);
  EXPECT_EQ(IsAdjusting(b), 1);
  EXPECT_EQ(static_cast<std::uint32_t>(b.adjustIndexWord), 0xAAAA0001u);

  // The previous index comes back; index 0 keeps the run active.
  EXPECT_EQ(SetAdjustCurrentIndex(b, 7), 1);
  EXPECT_EQ(SetAdjustCurrentIndex(b, 0), 7);
  EXPECT_EQ(IsAdjusting(b), 1);
  EXPECT_EQ(GetAdjustCurrentIndex(b), 0);

  EXPECT_EQ(StopAdjust(b), 1);
  EXPECT_EQ(IsAdjusting(b), 0);
  EXPECT_EQ(GetAdjustCurrentIndex(b), 0);

  // Setting an index after a stop starts the run again.
  EXPECT_EQ(SetAdjustCurrentIndex(b, 3), 0);
  EXPECT_EQ(IsAdjusting(b), 1);
}

TEST(SharedStateRun, IndicesPast255AreRefusedUnchanged) {
  SharedBlock b{};
  StartAdjust(b);
  SetAdjustCurrentIndex(b, 4);
  for (std::int32_t bad : {256, -1, INT32_MIN, 0x10000}) {
    EXPECT_EQ(SetAdjustCurrentIndex(b, bad), 0) << bad;
    EXPECT_EQ(GetAdjustCurrentIndex(b), 4) << bad;
    EXPECT_EQ(SetButtonAdjustCurrentIndex(b, bad), 0) << bad;
    EXPECT_EQ(b.buttonAdjustIndexWord, 0) << bad;
  }
  EXPECT_EQ(SetAdjustCurrentIndex(b, 255), 4);
  EXPECT_EQ(GetAdjustCurrentIndex(b), 255);
}

TEST(SharedStateRun, ButtonRunIsIndependentOfThePointRun) {
  SharedBlock b{};
  StartButtonAdjust(b);
  EXPECT_EQ(IsButtonAdjusting(b), 1);
  EXPECT_EQ(IsAdjusting(b), 0);
  EXPECT_EQ(SetButtonAdjustCurrentIndex(b, 9), 1);
  EXPECT_EQ(GetButtonAdjustCurrentIndex(b), 9);
  EXPECT_EQ(GetAdjustCurrentIndex(b), 0);
  StopButtonAdjust(b);
  EXPECT_EQ(IsButtonAdjusting(b), 0);

  EXPECT_EQ(SetButtonAdjustType(b, 3), 0);
  EXPECT_EQ(SetButtonAdjustType(b, 5), 3);
  EXPECT_EQ(GetButtonAdjustType(b), 5);
  EXPECT_EQ(GetAdjustType(b), 0);
}

TEST(SharedStateRun, AnIndexWordWithOnlyPartOfTheMarkerIsNoRun) {
  SharedBlock b{};
  b.adjustIndexWord = static_cast<std::int32_t>(0xAAA00001u);
  EXPECT_EQ(IsAdjusting(b), 0);
  b.adjustIndexWord = static_cast<std::int32_t>(0xFFFF0000u);
  EXPECT_EQ(IsAdjusting(b), 1);
}

TEST(SharedStateValues, TypesReturnThePreviousValue) {
  SharedBlock b{};
  EXPECT_EQ(SetAdjustType(b, 0x20009), 0);
  EXPECT_EQ(SetAdjustType(b, 16), 0x20009);
  EXPECT_EQ(GetAdjustType(b), 16);
}

TEST(SharedStateValues, DeviceStateIsConnectedOnlyAt159) {
  SharedBlock b{};
  EXPECT_EQ(SetDeviceState(b, 159), 159);
  EXPECT_EQ(GetDeviceState(b), 1);
  for (std::int32_t other : {0, 1, 158, 160, -159, 159 + 256}) {
    EXPECT_EQ(SetDeviceState(b, other), other);
    EXPECT_EQ(GetDeviceState(b), 0) << other;
  }
}

TEST(SharedStateValues, ButtonTargetKeepsBothValues) {
  SharedBlock b{};
  EXPECT_EQ(SetButtonTarget(b, 0x1234, -8), 0x1234);
  std::int32_t handle = 0;
  std::int32_t value = 0;
  EXPECT_EQ(GetButtonTarget(b, &handle, &value), -8);
  EXPECT_EQ(handle, 0x1234);
  EXPECT_EQ(value, -8);
  // A caller that passes no out-argument still gets the value, and nothing is written through null.
  EXPECT_EQ(GetButtonTarget(b, nullptr, nullptr), -8);
}

TEST(SharedStateGestures, ThresholdsAndFlags) {
  SharedBlock b{};
  EXPECT_EQ(SetGestureBrush(b, 2500), 0);
  EXPECT_EQ(SetGestureErase(b, 25000), 0);
  EXPECT_EQ(GetGestureBrush(b), 2500);
  EXPECT_EQ(GetGestureErase(b), 25000);

  EXPECT_EQ(IsGestureAdjusting(b), 0);
  EXPECT_EQ(StartGestureAdjust(b), 1);
  EXPECT_EQ(IsGestureAdjusting(b), 1);
  EXPECT_EQ(StopGestureAdjust(b), 1);
  EXPECT_EQ(IsGestureAdjusting(b), 0);
}

TEST(SharedStateGestures, NegativeArgumentOnlyReadsTheUsingFlag) {
  SharedBlock b{};
  EXPECT_EQ(IsUsingGesture(b, 1), 1);
  EXPECT_EQ(IsUsingGesture(b, -5), 1);
  EXPECT_EQ(IsUsingGesture(b, -1), 1);
  EXPECT_EQ(IsUsingGesture(b, 0), 0);
  EXPECT_EQ(IsUsingGesture(b, -1), 0);
  EXPECT_EQ(IsUsingGesture(b, 7), 7);
  EXPECT_EQ(IsUsingGesture(b, INT32_MIN), 7);
}

}  // namespace
}  // namespace velno
