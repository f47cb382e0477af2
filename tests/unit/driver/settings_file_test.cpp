#include "calibration/settings_file.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <string>
#include <vector>

#include "board_context.h"
#include "calibration/projective_mapping.h"
#include "fake_settings_store.h"
#include "fake_velno.h"

namespace velno {
namespace {

using KeyValues = std::vector<std::pair<std::wstring, std::wstring>>;

std::wstring Lower(std::wstring s) {
  for (wchar_t& c : s) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
  return s;
}

std::wstring Numbered(const wchar_t* stem, int k, wchar_t axis) {
  return std::wstring(stem) + (k < 10 ? L"0" : L"") + std::to_wstring(k) + L'-' + axis;
}

class SettingsFile : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::ResetFakeVelno();
    sharedState = testing::FakeSharedState();
  }

  // The keys and values of the last save, in order.
  KeyValues LastSave() const {
    KeyValues written;
    if (!store.saves.empty()) {
      for (const SettingWrite& write : store.saves.back()) written.emplace_back(write.key, write.value);
    }
    return written;
  }

  void Store(const std::wstring& key, std::int32_t value) {
    store.values[Lower(kSettingsSection)][Lower(key)] = std::to_wstring(value);
  }
  void StorePoint(const wchar_t* stem, int k, BoardPoint p) {
    Store(Numbered(stem, k, L'x'), p.x);
    Store(Numbered(stem, k, L'y'), p.y);
  }
  // A slightly sheared grid in point order, so that every coordinate differs.
  static BoardPoint GridPoint(int p, int rows) {
    return {1000 + (p / rows) * 7000 + p * 3, 1200 + (p % rows) * 9000 - p};
  }

  testing::FakeSettingsStore store;
  SharedState sharedState{};
  BoardContext board;
};

TEST_F(SettingsFile, AMissingFileGivesDefaultThresholdsAndAnUncalibratedSixteenPointGrid) {
  board.calibration.touchButtons.count = 2;
  board.calibration.extendScreenFlag = 1;
  board.calibration.rawPoints[0] = {5000, 6000};
  LoadSettings(store, sharedState, board.calibration);
  EXPECT_EQ(testing::FakeVelnoBlock().gestureBrush, 2500);
  EXPECT_EQ(testing::FakeVelnoBlock().gestureErase, 25000);
  EXPECT_EQ(board.calibration.adjustType, 16u);
  EXPECT_EQ(board.calibration.pointRows, 4);
  EXPECT_EQ(board.calibration.cellCount, 9);
  EXPECT_FALSE(board.calibration.calibrated);
  // Nothing but the thresholds and the grid is read from such a file.
  EXPECT_EQ(board.calibration.touchButtons.count, 2u);
  EXPECT_EQ(board.calibration.extendScreenFlag, 1);
  EXPECT_EQ(board.calibration.rawPoints[0], (BoardPoint{5000, 6000}));
  EXPECT_TRUE(store.saves.empty());
}

TEST_F(SettingsFile, ThresholdsOfZeroReadAsMissingOthersAreTakenAsTheyAre) {
  Store(L"GestureBrush", 0);
  Store(L"GestureErase", -7);
  LoadSettings(store, sharedState, board.calibration);
  EXPECT_EQ(testing::FakeVelnoBlock().gestureBrush, 2500);
  EXPECT_EQ(testing::FakeVelnoBlock().gestureErase, -7);
}

TEST_F(SettingsFile, MissingPointsAndScreenFlagReadAs260) {
  Store(L"AdjustType", 9);
  for (int k = 1; k <= 8; ++k) StorePoint(L"Point", k, GridPoint(k - 1, 3));
  board.calibration.extendScreenFlag = 1;
  LoadSettings(store, sharedState, board.calibration);
  EXPECT_EQ(board.calibration.adjustType, 9u);
  EXPECT_TRUE(board.calibration.calibrated);
  EXPECT_EQ(board.calibration.extendScreenFlag, 260);
  for (int p = 0; p < 8; ++p) EXPECT_EQ(board.calibration.rawPoints[p], GridPoint(p, 3)) << p;
  EXPECT_EQ(board.calibration.rawPoints[8], (BoardPoint{260, 260}));
  EXPECT_EQ(board.calibration.pointRows, 3);

  // The default is kept: a later save writes it back.
  SaveSettings(store, sharedState, board.calibration);
  EXPECT_EQ(LastSave().at(3), (std::pair<std::wstring, std::wstring>{L"extendScreenFlag", L"260"}));
}

TEST_F(SettingsFile, ACountThatIsNoGridIgnoresEverythingElseInTheFile) {
  // 0x10010 has 16 in its low half but is not 16; -16 is no count at all.
  for (const std::int32_t count : {7, -16, 0x10010, 0, 65}) {
    SCOPED_TRACE(count);
    BoardContext fresh;
    Store(L"AdjustType", count);
    Store(L"extendScreenFlag", 1);
    for (int k = 1; k <= 16; ++k) StorePoint(L"Point", k, GridPoint(k - 1, 4));
    Store(L"num_buttons", 3);
    for (int k = 1; k <= 3; ++k) StorePoint(L"Button", k, {k * 100, k * 100});
    LoadSettings(store, sharedState, fresh.calibration);
    EXPECT_EQ(fresh.calibration.adjustType, 16u);
    EXPECT_FALSE(fresh.calibration.calibrated);
    EXPECT_EQ(fresh.calibration.extendScreenFlag, 0);
    EXPECT_EQ(fresh.calibration.rawPoints[0], (BoardPoint{0, 0}));
    EXPECT_EQ(fresh.calibration.touchButtons.count, 0u);
    EXPECT_EQ(fresh.calibration.touchButtons.positions[0], (BoardPoint{0, 0}));
  }
}

TEST_F(SettingsFile, EveryPointCountLoadsExactlyItsPoints) {
  for (const std::uint32_t count : {4u, 6u, 9u, 12u, 16u, 20u, 25u}) {
    SCOPED_TRACE(count);
    store.values.clear();
    Store(L"AdjustType", static_cast<std::int32_t>(count));
    for (int k = 1; k <= 25; ++k) StorePoint(L"Point", k, {k, -k});
    BoardContext fresh;
    fresh.calibration.rawPoints[count] = {-1, -1};
    LoadSettings(store, sharedState, fresh.calibration);
    EXPECT_EQ(fresh.calibration.adjustType, count);
    EXPECT_TRUE(fresh.calibration.calibrated);
    const int last = static_cast<int>(count);
    EXPECT_EQ(fresh.calibration.rawPoints[last - 1], (BoardPoint{last, -last}));
    EXPECT_EQ(fresh.calibration.rawPoints[last], (BoardPoint{-1, -1}));
  }
}

TEST_F(SettingsFile, TouchButtonCountsAreUnsignedAndBelow64) {
  Store(L"AdjustType", 4);
  StorePoint(L"Button", 1, {11, 12});
  StorePoint(L"Button", 63, {631, 632});
  StorePoint(L"Button", 64, {641, 642});

  Store(L"num_buttons", 63);
  LoadSettings(store, sharedState, board.calibration);
  EXPECT_EQ(board.calibration.touchButtons.count, 63u);
  EXPECT_EQ(board.calibration.touchButtons.positions[0], (BoardPoint{11, 12}));
  EXPECT_EQ(board.calibration.touchButtons.positions[1], (BoardPoint{260, 260}));
  EXPECT_EQ(board.calibration.touchButtons.positions[62], (BoardPoint{631, 632}));
  EXPECT_EQ(board.calibration.touchButtons.positions[63], (BoardPoint{0, 0}));

  for (const std::int32_t tooMany : {64, -1, INT32_MIN}) {
    SCOPED_TRACE(tooMany);
    BoardContext fresh;
    fresh.calibration.touchButtons.count = 5;
    Store(L"num_buttons", tooMany);
    LoadSettings(store, sharedState, fresh.calibration);
    EXPECT_EQ(fresh.calibration.touchButtons.count, 0u);
    EXPECT_EQ(fresh.calibration.touchButtons.positions[0], (BoardPoint{0, 0}));
  }

  BoardContext none;
  none.calibration.touchButtons.positions[0] = {1, 2};
  Store(L"num_buttons", 0);
  LoadSettings(store, sharedState, none.calibration);
  EXPECT_EQ(none.calibration.touchButtons.count, 0u);
  EXPECT_EQ(none.calibration.touchButtons.positions[0], (BoardPoint{1, 2}));
}

TEST_F(SettingsFile, ASaveWritesEveryKeyOnceInOrderUnderTheOneSection) {
  testing::FakeVelnoBlock().gestureBrush = 1234;
  testing::FakeVelnoBlock().gestureErase = -5;
  board.calibration.adjustType = 4;
  board.calibration.calibrated = true;
  board.calibration.extendScreenFlag = 2;
  board.calibration.rawPoints = {};
  board.calibration.rawPoints[0] = {1, 2};
  board.calibration.rawPoints[1] = {3, 4};
  board.calibration.rawPoints[2] = {-5, 6};
  board.calibration.rawPoints[3] = {7, 32767};
  board.calibration.rawPoints[4] = {99, 99};  // beyond the count: not written
  board.calibration.touchButtons.count = 2;
  board.calibration.touchButtons.positions[0] = {10, 11};
  board.calibration.touchButtons.positions[1] = {12, 13};
  board.calibration.touchButtons.positions[2] = {99, 99};

  SaveSettings(store, sharedState, board.calibration);
  const KeyValues expected = {
      {L"GestureBrush", L"1234"}, {L"GestureErase", L"-5"},   {L"AdjustType", L"4"},  {L"extendScreenFlag", L"2"},
      {L"Point01-x", L"1"},       {L"Point01-y", L"2"},       {L"Point02-x", L"3"},   {L"Point02-y", L"4"},
      {L"Point03-x", L"-5"},      {L"Point03-y", L"6"},       {L"Point04-x", L"7"},   {L"Point04-y", L"32767"},
      {L"num_buttons", L"2"},     {L"Button01-x", L"10"},     {L"Button01-y", L"11"}, {L"Button02-x", L"12"},
      {L"Button02-y", L"13"},
  };
  ASSERT_EQ(store.saves.size(), 1u);
  EXPECT_EQ(LastSave(), expected);
  // "Adjust-" then U+4F43 and 'M': nine UTF-16 units, written exactly so every time.
  const std::wstring section = {L'A', L'd', L'j', L'u', L's', L't', L'-', wchar_t{0x4F43}, L'M'};
  for (const SettingWrite& write : store.saves.back()) EXPECT_EQ(write.section, section);
}

TEST_F(SettingsFile, TheSectionNamedAdjustComIsNotTheSettingsSection) {
  store.values[L"adjust-com"][L"adjusttype"] = L"4";
  LoadSettings(store, sharedState, board.calibration);
  EXPECT_FALSE(board.calibration.calibrated);
  EXPECT_EQ(board.calibration.adjustType, 16u);
}

TEST_F(SettingsFile, ASaveLoadsBackIntoAFreshBoard) {
  testing::FakeVelnoBlock().gestureBrush = 4321;
  testing::FakeVelnoBlock().gestureErase = 8765;
  board.calibration.adjustType = 12;
  board.calibration.calibrated = true;
  for (int p = 0; p < 12; ++p) board.calibration.rawPoints[p] = GridPoint(p, 3);
  board.calibration.extendScreenFlag = 1;
  board.calibration.touchButtons.count = 3;
  board.calibration.touchButtons.positions[0] = {-1, 2};
  board.calibration.touchButtons.positions[1] = {300, 400};
  board.calibration.touchButtons.positions[2] = {32767, 0};
  SaveSettings(store, sharedState, board.calibration);

  testing::ResetFakeVelno();
  BoardContext other;
  LoadSettings(store, sharedState, other.calibration);
  EXPECT_EQ(testing::FakeVelnoBlock().gestureBrush, 4321);
  EXPECT_EQ(testing::FakeVelnoBlock().gestureErase, 8765);
  EXPECT_EQ(other.calibration.adjustType, 12u);
  EXPECT_TRUE(other.calibration.calibrated);
  EXPECT_EQ(other.calibration.extendScreenFlag, 1);
  EXPECT_EQ(other.calibration.rawPoints, board.calibration.rawPoints);
  EXPECT_EQ(other.calibration.touchButtons.count, 3u);
  EXPECT_EQ(other.calibration.touchButtons.positions, board.calibration.touchButtons.positions);
}

TEST_F(SettingsFile, ASmallerCalibrationLeavesTheKeysOfALargerOneInPlace) {
  board.calibration.adjustType = 25;
  board.calibration.calibrated = true;
  for (int p = 0; p < 25; ++p) board.calibration.rawPoints[p] = {p, 100 + p};
  SaveSettings(store, sharedState, board.calibration);

  board.calibration.adjustType = 4;
  for (int p = 0; p < 4; ++p) board.calibration.rawPoints[p] = {1000 + p, 2000 + p};
  SaveSettings(store, sharedState, board.calibration);
  std::vector<std::wstring> pointKeys;
  for (const auto& [key, value] : LastSave()) {
    if (key.starts_with(L"Point")) pointKeys.push_back(key);
  }
  EXPECT_EQ(pointKeys.front(), L"Point01-x");
  EXPECT_EQ(pointKeys.back(), L"Point04-y");
  EXPECT_EQ(pointKeys.size(), 8u);
  EXPECT_EQ(store.values[Lower(kSettingsSection)][L"point25-y"], L"124");

  BoardContext fresh;
  fresh.calibration.rawPoints[4] = {-3, -3};
  LoadSettings(store, sharedState, fresh.calibration);
  EXPECT_EQ(fresh.calibration.adjustType, 4u);
  EXPECT_EQ(fresh.calibration.rawPoints[3], (BoardPoint{1003, 2003}));
  EXPECT_EQ(fresh.calibration.rawPoints[4], (BoardPoint{-3, -3}));
}

// Files without a usable calibration: after a load, a solve and a save (a threshold change, say) the
// file still holds no calibration; its calibration keys are not written.
TEST_F(SettingsFile, AnUncalibratedBoardNeverSavesACalibration) {
  const std::vector<std::pair<const char*, std::int32_t>> files = {{"missing", 0}, {"unsupported count", 7},
                                                                   {"collinear points", 4}};
  for (const auto& [name, adjustType] : files) {
    SCOPED_TRACE(name);
    store.values.clear();
    if (adjustType != 0) Store(L"AdjustType", adjustType);
    for (int k = 1; k <= adjustType; ++k) StorePoint(L"Point", k, {1000 * k, 1000 * k});
    BoardContext loaded;
    for (int p = 0; p < 16; ++p) loaded.calibration.rawPoints[p] = GridPoint(p, 4);  // points a fallback grid keeps
    LoadSettings(store, sharedState, loaded.calibration);
    SolveCellTransforms(loaded.calibration);
    ASSERT_FALSE(loaded.calibration.calibrated);

    SaveSettings(store, sharedState, loaded.calibration);
    for (const auto& [key, value] : LastSave()) {
      EXPECT_TRUE(key.starts_with(L"Gesture") || key == L"num_buttons") << std::string(key.begin(), key.end());
    }
    BoardContext fresh;
    LoadSettings(store, sharedState, fresh.calibration);
    SolveCellTransforms(fresh.calibration);
    EXPECT_FALSE(fresh.calibration.calibrated);
  }
}

}  // namespace
}  // namespace velno
