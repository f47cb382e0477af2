// The tool's plain computations: mode words, board names, monitor choice, chooser centring, target grid,
// markers and hand, and the timer's step.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "board_ports.h"
#include "point_count_choice.h"
#include "program_name.h"
#include "screen_layout.h"
#include "target_layout.h"
#include "target_timer.h"

namespace adjust {
namespace {

constexpr auto kNone = ScreenKind::None;
constexpr auto kStd = ScreenKind::Standard;
constexpr auto kExt = ScreenKind::Extended;

TEST(AdjustProgramName, FirstWordOfTheFixedOrderDecides) {
  const struct {
    const wchar_t* path;
    PassList passes;
  } cases[] = {
      {L"C:\\Velno\\Adjust_single_standard.exe", {kStd, kNone}},
      {L"Adjust_single_extend.exe", {kExt, kNone}},
      {L"Adjust_standard_double.exe", {kStd, kStd}},
      {L"Adjust_extend_double", {kExt, kExt}},
      {L"D:\\x\\Adjust_standard_extend_double.exe", {kStd, kExt}},
      // A folder word of order 2 beats a file word of order 5.
      {L"C:\\Adjust_extend_double\\Adjust_single_standard.exe", {kExt, kExt}},
      {L"C:\\Adjust_single_standard\\Adjust_standard_double.exe", {kStd, kStd}},
      // Case-sensitive; the plain name has no word.
      {L"C:\\adjust_single_standard.exe", {kNone, kNone}},
      {L"C:\\Velno\\Adjust.exe", {kNone, kNone}},
  };
  for (const auto& c : cases) EXPECT_EQ(PassesForProgramPath(c.path), c.passes) << std::wstring(c.path).size();
}

TEST(AdjustBoardPorts, CountsTheBridgePortsByDeviceNameOnly) {
  EXPECT_EQ(CountBoardPorts({}), 0);
  EXPECT_EQ(CountBoardPorts({L"\\Device\\Serial0", L"\\Device\\silabse", L"COM5", L"\\Device\\VCP0"}), 0);
  EXPECT_EQ(CountBoardPorts({L"\\Device\\Serial0", L"\\device\\SILABSER12", L"\\Device\\slabser", L"\\DEVICE\\Slabser3"}),
            3);
  EXPECT_FALSE(IsBoardPortName(L"x\\Device\\silabser0"));
}

TEST(AdjustScreenLayout, LastNonPrimaryMonitorAndItsFlag) {
  const ScreenRect primary{0, 0, 1920, 1080};
  const struct {
    std::vector<MonitorInfo> monitors;
    std::int32_t flag;  // 0: none found
    ScreenRect rect;
  } cases[] = {
      {{{primary, true}}, 0, {}},
      {{}, 0, {}},
      {{{primary, true}, {{1920, 0, 3200, 1024}, false}}, 1, {1920, 0, 3200, 1024}},
      {{{{0, 1080, 1280, 2104}, false}, {primary, true}}, 2, {0, 1080, 1280, 2104}},
      {{{primary, true}, {{-1279, 0, 0, 1024}, false}}, 1, {-1279, 0, 0, 1024}},
      {{{{0, -1024, 1280, 0}, false}, {primary, true}, {{1920, 0, 3200, 1024}, false}}, 1, {1920, 0, 3200, 1024}},
  };
  for (const auto& c : cases) {
    const auto found = FindExtendScreen(c.monitors);
    ASSERT_EQ(found.has_value(), c.flag != 0);
    if (found) {
      EXPECT_EQ(found->flag, c.flag);
      EXPECT_EQ(found->rect, c.rect);
    }
  }
  EXPECT_EQ(AdjustTypeFor(9, 0), 9);
  EXPECT_EQ(AdjustTypeFor(9, 1), 0x10009);
  EXPECT_EQ(AdjustTypeFor(25, 2), 0x20019);
}

TEST(AdjustScreenLayout, ChooserCentringTruncatesTowardZero) {
  EXPECT_EQ(CentredOn({1920, 0, 3200, 1024}, 700, 400), (WindowPosition{2210, 312}));
  EXPECT_EQ(CentredOn({-1279, 0, 0, 1024}, 700, 400), (WindowPosition{-989, 312}));
  EXPECT_EQ(CentredOn({0, -1023, 1280, 0}, 701, 401), (WindowPosition{290, -711}));
}

TEST(AdjustChooser, ButtonNumbersDoNotFollowTheirCounts) {
  EXPECT_EQ(CountForButton(1010), 16u);
  EXPECT_EQ(CountForButton(1012), 12u);
  EXPECT_EQ(CountForButton(kCancelButton), 0u);
}

std::vector<Pixel> Points(std::uint32_t count, std::int32_t width, std::int32_t height) {
  std::vector<Pixel> points;
  for (std::uint32_t i = 0; i < count; ++i) points.push_back(TargetPoint(i, count, width, height));
  return points;
}

TEST(AdjustTargets, GridPointsColumnByColumn) {
  EXPECT_EQ(Points(4, 1920, 1080), (std::vector<Pixel>{{60, 33}, {60, 1046}, {1860, 33}, {1860, 1046}}));
  const struct {
    std::uint32_t count, i;
    std::int32_t width, height;
    Pixel point;
  } cases[] = {
      {9, 1, 1920, 1080, {60, 540}},    {9, 3, 1920, 1080, {960, 33}},   {20, 5, 1920, 1080, {510, 371}},
      {20, 15, 1920, 1080, {1410, 1046}}, {25, 6, 1024, 768, {272, 204}}, {25, 18, 1024, 768, {752, 564}},
      {12, 11, 1280, 1024, {1240, 992}}, {7, 3, 1280, 1024, {640, 512}},
  };
  for (const auto& c : cases) EXPECT_EQ(TargetPoint(c.i, c.count, c.width, c.height), c.point) << c.count << " " << c.i;
}

TEST(AdjustTargets, MarkersAndHandWhileTargetThreeOfNineShows) {
  const TargetScene scene = ComposeTarget(3, 9, 1920, 1080);
  for (int i = 0; i < kMarkerSlots; ++i) {
    EXPECT_EQ(scene.done[i].shown, i < 2) << i;
    EXPECT_EQ(scene.pending[i].shown, i >= 3 && i < 9) << i;
  }
  EXPECT_EQ(scene.done[1].topLeft, (Pixel{36, 516}));
  EXPECT_EQ(scene.pending[8].topLeft, (Pixel{1836, 1022}));
  EXPECT_EQ(scene.current, (Pixel{36, 1022}));
  EXPECT_EQ(scene.hand, Hand::Left);
  EXPECT_EQ(scene.handTopLeft, (Pixel{60 + 29, 1046 - 17}));
}

TEST(AdjustTargets, HandSwitchesSidesAfterHalfTheCount) {
  const struct {
    std::uint32_t count;
    std::uint32_t lastWithLeftHand;
  } cases[] = {{4, 2}, {9, 4}, {25, 12}, {1, 1}, {0, 1}};
  for (const auto& c : cases) {
    for (std::uint32_t k = 1; k <= std::max(c.count, 1u); ++k) {
      const TargetScene scene = ComposeTarget(k, c.count, 1024, 768);
      EXPECT_EQ(scene.hand, k <= c.lastWithLeftHand ? Hand::Left : Hand::Right) << c.count << " " << k;
    }
  }
  const TargetScene right = ComposeTarget(3, 4, 1920, 1080);
  EXPECT_EQ(right.handTopLeft, (Pixel{1860 - 77, 33 - 17}));
}

TEST(AdjustTargetTimer, HandOffWinsThenTheDriversZeroAdvances) {
  const struct {
    TickInput tick;
    std::uint32_t k;
    std::uint32_t count;
    TickStep step;
  } cases[] = {
      {{false, true, 3}, 3, 9, TickStep::Wait},
      {{false, true, 0}, 3, 9, TickStep::ShowNext},
      {{false, true, 0}, 9, 9, TickStep::StopAndClose},
      {{true, true, 0}, 3, 9, TickStep::StopAndClose},
      {{true, false, 3}, 3, 9, TickStep::StopAndClose},
      {{false, false, 0}, 3, 9, TickStep::Wait},
  };
  for (const auto& c : cases) EXPECT_EQ(c.step, StepOnTick(c.tick, c.k, c.count)) << c.k;
}

}  // namespace
}  // namespace adjust
