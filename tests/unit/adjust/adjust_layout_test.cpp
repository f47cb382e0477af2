// The tool's plain computations: mode words, board names, monitor choice, chooser centring, target grid,
// markers and hand, the timer's step and countdown, and the check's crosses, progress and verdict.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <cmath>

#include "board_facts.h"
#include "board_ports.h"
#include "check_progress.h"
#include "check_verdict.h"
#include "point_count_choice.h"
#include "program_name.h"
#include "resource_ids.h"
#include "result_layout.h"
#include "run_countdown.h"
#include "screen_layout.h"
#include "target_layout.h"
#include "target_timer.h"
#include "touch_button_setup.h"

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
  EXPECT_FALSE(velno::IsBoardPortName(L"x\\Device\\silabser0"));
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
  EXPECT_EQ(velno::EncodeAdjustType(9, 0), 9);
  EXPECT_EQ(velno::EncodeAdjustType(9, 1), 0x10009);
  EXPECT_EQ(velno::EncodeAdjustType(25, 2), 0x20019);
}

TEST(AdjustScreenLayout, ChooserCentringTruncatesTowardZero) {
  EXPECT_EQ(CentredOn({1920, 0, 3200, 1024}, 700, 400), (WindowPosition{2210, 312}));
  EXPECT_EQ(CentredOn({-1279, 0, 0, 1024}, 700, 400), (WindowPosition{-989, 312}));
  EXPECT_EQ(CentredOn({0, -1023, 1280, 0}, 701, 401), (WindowPosition{290, -711}));
}

TEST(AdjustChooser, ButtonNumbersDoNotFollowTheirCounts) {
  EXPECT_EQ(CountForButton(IDC_COUNT_16), 16u);
  EXPECT_EQ(CountForButton(IDC_COUNT_12), 12u);
  EXPECT_EQ(CountForButton(IDC_CHOOSER_CANCEL), 0u);
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

TEST(AdjustTargetTimer, HandOffWinsThenTheDriversAnswerIsFollowed) {
  using enum TickStep;
  const auto again = [](std::uint32_t target) { return velno::AskAgainIndex(target); };
  const struct {
    TickInput tick;
    std::uint32_t k;
    std::uint32_t count;
    TickAction action;
  } cases[] = {
      {{false, true, 3}, 3, 9, {Wait}},
      {{false, true, 0}, 3, 9, {ShowNext, 4}},
      {{false, true, 0}, 9, 9, {Finish}},
      {{true, true, 0}, 3, 9, {Close}},
      {{true, false, 3}, 3, 9, {Close}},
      {{false, false, 0}, 3, 9, {Wait}},
      // The driver asks for a target again: an earlier one after a slip it took; target 1 after the last
      // is the pass again, as after a refused grid. A target the run has not, or a plain index, is no request.
      {{false, true, again(4)}, 5, 9, {ShowAgain, 4}},
      {{false, true, again(1)}, 4, 9, {ShowAgain, 1}},
      {{false, true, again(1)}, 9, 9, {RestartPass, 1}},
      {{false, true, again(1)}, 4, 4, {RestartPass, 1}},
      {{false, true, again(10)}, 5, 9, {Wait}},
      {{false, true, 1}, 9, 9, {Wait}},
      // Nobody touches: the run ends 30 s after the last target taken, unless one is taken on that tick.
      {{false, true, 9, 29999}, 9, 9, {Wait}},
      {{false, true, 9, 30000}, 9, 9, {TimeOut}},
      {{false, true, 0, 30000}, 3, 9, {ShowNext, 4}},
      {{false, true, again(1), 30000}, 9, 9, {RestartPass, 1}},
      {{true, true, 3, 30000}, 3, 9, {Close}},
  };
  for (const auto& c : cases) {
    const TickAction action = StepOnTick(c.tick, c.k, c.count);
    EXPECT_TRUE(action == c.action) << c.k << " " << c.tick.driverIndex << " " << c.tick.msSinceProgress << ": step "
                                    << static_cast<int>(action.step) << ", target " << action.target;
  }
}

TEST(AdjustTargetTimer, CountdownShowsTheLastTenSecondsRoundedUp) {
  const struct {
    std::uint32_t ms;
    std::optional<std::uint32_t> seconds;
  } cases[] = {{0, std::nullopt}, {19999, std::nullopt}, {20000, 10}, {20001, 10}, {29000, 1}, {29999, 1},
               {30000, std::nullopt}};
  for (const auto& c : cases) EXPECT_EQ(CountdownSeconds(c.ms), c.seconds) << c.ms;
  EXPECT_EQ(CountdownText(9), L"Closing in 9 s: touch the red target to go on");
}

TEST(AdjustTouchButtons, PromptsNameTheButtonAndWhatItWillDo) {
  const std::pair<std::wstring, std::wstring> cases[] = {
      {TouchButtonPrompt(2, 6, L"Undo"), L"Touch printed button 2 of 6: it will Undo"},
      {TouchButtonPrompt(1, 1, L""), L"Touch printed button 1 of 1"},
      {TouchButtonCountdownText(9, 4), L"Closing in 9 s, nothing changed: touch printed button 4 to go on"},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(text, expected);
}

TEST(AdjustCheck, CrossesAreCellCentresThenMidpointsNearTheirPlaces) {
  using Points = std::array<Pixel, kCheckCrosses>;
  const struct {
    std::uint32_t count;
    Points points;  // on 1280 x 1024: the middle, then upper left, upper right, lower left, lower right
  } cases[] = {
      // One cell: its centre takes the middle, midpoints between targets the quarters.
      {4, {{{640, 512}, {40, 512}, {640, 32}, {640, 992}, {1240, 512}}}},
      // Two cells: they take the places nearest them, midpoints the rest.
      {6, {{{340, 512}, {340, 32}, {940, 512}, {340, 992}, {940, 992}}}},
      // Four cells, one in each quarter: the middle gets the first midpoint nearest it.
      {9, {{{340, 512}, {340, 272}, {940, 272}, {340, 752}, {940, 752}}}},
      // Nine cells and more: the nearest unused cell centre for each place in turn.
      {16, {{{640, 512}, {240, 192}, {1040, 192}, {240, 832}, {1040, 832}}}},
  };
  for (const auto& c : cases) {
    for (std::uint32_t i = 0; i < kCheckCrosses; ++i) {
      EXPECT_EQ(CheckCrossPoint(i, c.count, 1280, 1024), c.points[i]) << c.count << " cross " << i;
    }
  }
  // For every count the five are apart from each other and from every target.
  for (const std::uint32_t count : {4u, 6u, 9u, 12u, 16u, 20u, 25u}) {
    const auto crosses = CheckCrossFractions(count);
    for (std::uint32_t i = 0; i < kCheckCrosses; ++i) {
      for (std::uint32_t j = 0; j < count; ++j) {
        const Fraction2 t = TargetFraction(j, count);
        EXPECT_GT(std::hypot(crosses[i].x - t.x, crosses[i].y - t.y), 0.1)
            << count << " cross " << i << " target " << j;
      }
      for (std::uint32_t j = 0; j < i; ++j) {
        EXPECT_GT(std::hypot(crosses[i].x - crosses[j].x, crosses[i].y - crosses[j].y), 0.1) << count << " " << i << j;
      }
    }
  }
}

// Text as a 22-pixel bold font sets it, about 12 pixels a character and 28 a line, wrapped at spaces.
MeasureText Wrapped(const std::wstring& text) {
  return [text](std::int32_t maxWidth) {
    constexpr std::int32_t kChar = 12;
    constexpr std::int32_t kLine = 28;
    std::int32_t lines = 1, widest = 0, line = 0;
    std::size_t start = 0;
    while (start < text.size()) {
      const std::size_t end = std::min(text.find(L' ', start), text.size());
      const auto word = static_cast<std::int32_t>(end - start) * kChar;
      if (line > 0 && line + kChar + word > maxWidth) {
        ++lines;
        line = word;
      } else {
        line += (line > 0 ? kChar : 0) + word;
      }
      widest = std::max(widest, line);
      start = end + 1;
    }
    return TextSize{widest, lines * kLine};
  };
}

bool Overlap(const ScreenRect& a, const ScreenRect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

TEST(AdjustCheck, ResultScreenFitsEveryClassroomScreenClearOfTheCrossesAndTheirErrors) {
  CheckVerdict worst{{888, 888, 888, 888, 888}, 888, 888.8, 19.2, false, 2};
  const std::wstring verdict = VerdictText(worst);
  const std::wstring figures = FiguresText(worst);
  const std::pair<std::int32_t, std::int32_t> screens[] = {{800, 600}, {1024, 768}, {1280, 720}, {1366, 768},
                                                           {1280, 1024}, {1920, 1080}};
  for (const auto& [width, height] : screens) {
    for (const std::uint32_t count : {4u, 6u, 9u, 12u, 16u, 20u, 25u}) {
      std::vector<ScreenRect> crosses;
      for (std::uint32_t i = 0; i < kCheckCrosses; ++i) {
        const Pixel c = CheckCrossPoint(i, count, width, height);
        crosses.push_back({c.x - 24, c.y - 24, c.x + 25, c.y + 25});
        const ScreenRect label = ErrorLabelRect(c, {9 * 12, 28}, width, height);  // "3: 888 px"
        EXPECT_TRUE(label.left >= 0 && label.top >= 0 && label.right <= width && label.bottom <= height) << count;
        crosses.push_back(label);
      }
      const ResultLayout layout = LayOutResult(width, height, crosses, Wrapped(verdict), Wrapped(figures));
      const ScreenRect parts[] = {layout.verdict, layout.figures, layout.done, layout.again};
      const std::string where = std::to_string(count) + " points on " + std::to_string(width) + "x" + std::to_string(height);
      for (std::size_t i = 0; i < 4; ++i) {
        const ScreenRect& r = parts[i];
        EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= width && r.bottom <= height) << where << ", part " << i;
        for (const ScreenRect& cross : crosses) EXPECT_FALSE(Overlap(r, cross)) << where << ", part " << i;
        for (std::size_t j = 0; j < i; ++j) EXPECT_FALSE(Overlap(r, parts[j])) << where << ", parts " << j << " and " << i;
      }
      for (const auto& [r, text] : {std::pair{layout.verdict, verdict}, std::pair{layout.figures, figures}}) {
        EXPECT_GE(r.bottom - r.top, Wrapped(text)(r.right - r.left).height) << where << ": text cut off";
      }
      for (const ScreenRect& button : {layout.done, layout.again}) {
        EXPECT_TRUE(button.right - button.left >= 200 && button.bottom - button.top >= 80) << where << ": button too small";
      }
    }
  }
}

TEST(AdjustCheck, GoodWhenEveryTouchIsWithinTenPixelsOrOnePercentOfTheWidth) {
  using Points = std::array<Pixel, kCheckCrosses>;
  const Points crosses{{{640, 512}, {340, 272}, {940, 272}, {340, 752}, {940, 752}}};
  const auto off = [&](std::uint32_t i, Pixel by) {
    Points landed = crosses;
    landed[i] = {crosses[i].x + by.x, crosses[i].y + by.y};
    return landed;
  };
  const struct {
    Points landed;
    std::int32_t width;
    bool good;
    std::uint32_t worst;
    double largest;
  } cases[] = {
      {crosses, 1280, true, 0, 0},
      {off(2, {0, 12}), 1280, true, 2, 12},     // 1 % of 1280 is 12.8 px
      {off(2, {3, 13}), 1280, false, 2, std::hypot(3, 13)},
      {off(4, {8, 6}), 800, true, 4, 10},       // a narrow monitor allows 10 px
      {off(4, {8, 7}), 800, false, 4, std::hypot(8, 7)},
      {off(1, {-40, 0}), 1920, false, 1, 40},   // 19.2 px on 1920
  };
  for (const auto& c : cases) {
    const CheckVerdict verdict = JudgeCheck(crosses, c.landed, c.width);
    EXPECT_EQ(verdict.good, c.good) << c.largest;
    EXPECT_EQ(verdict.worst, c.worst) << c.largest;
    EXPECT_DOUBLE_EQ(verdict.largest, c.largest);
    EXPECT_DOUBLE_EQ(verdict.mean, c.largest / kCheckCrosses);
  }
  const CheckVerdict bad = JudgeCheck(crosses, off(1, {-40, 0}), 1920);
  EXPECT_EQ(VerdictText(bad), L"Not good: at cross 2 the pen landed 40 px away. Please calibrate again.");
  EXPECT_EQ(FiguresText(bad),
            L"Largest error 40 px, mean 8.0 px. Crosses: 1: 0 px, 2: 40 px, 3: 0 px, 4: 0 px, 5: 0 px.");
  EXPECT_EQ(VerdictText(JudgeCheck(crosses, crosses, 1280)), L"Good: every touch landed within 13 px of its cross.");
}

TEST(AdjustCheck, ProgressTakesLiftsOfTouchesBegunHereAndEndsWhenIdleOrHandedOff) {
  constexpr Pixel kLift{412, 305};
  struct Progress {
    std::uint32_t shown;
    bool penDown;
    std::uint64_t touchedAtMs;
  };
  const auto down = [](std::uint64_t ms) { return CheckEvent{CheckEventKind::PenDown, ms}; };
  const auto up = [&](std::uint64_t ms) { return CheckEvent{CheckEventKind::PenUp, ms, kLift}; };
  const auto tick = [](std::uint64_t ms, bool handOff) { return CheckEvent{CheckEventKind::Tick, ms, {}, handOff}; };
  const struct {
    Progress before;
    CheckEvent event;
    CheckStep step;
    Progress after;
  } cases[] = {
      // The pen may still rest on the last target when the check opens: its lift is not taken.
      {{0, false, 0}, up(900), CheckStep::Nothing, {0, false, 0}},
      {{0, false, 0}, down(900), CheckStep::Nothing, {0, true, 0}},
      {{0, true, 0}, up(1000), CheckStep::ShowNextCross, {1, false, 1000}},
      {{4, true, 8000}, up(9000), CheckStep::ShowResult, {5, false, 9000}},
      // Lifts on the result screen are not taken and do not hold off its end.
      {{5, true, 9000}, up(9500), CheckStep::Nothing, {5, false, 9000}},
      // 30 s after the opening or the last cross taken; a pen resting on the window does not count.
      {{0, false, 0}, tick(29999, false), CheckStep::Nothing, {0, false, 0}},
      {{0, false, 0}, tick(30000, false), CheckStep::EndAsDone, {0, false, 0}},
      {{2, true, 20000}, tick(49999, false), CheckStep::Nothing, {2, true, 20000}},
      {{2, true, 20000}, tick(50000, false), CheckStep::EndAsDone, {2, true, 20000}},
      {{1, false, 1000}, tick(1200, true), CheckStep::EndAsDone, {1, false, 1000}},
  };
  // Every cross taken landed at kLift; the others were never touched.
  const auto landed = [&](std::uint32_t shown) {
    std::array<Pixel, kCheckCrosses> points{};
    for (std::uint32_t i = 0; i < shown; ++i) points[i] = kLift;
    return points;
  };
  for (const auto& c : cases) {
    CheckProgress progress{landed(c.before.shown), c.before.shown, c.before.penDown, c.before.touchedAtMs};
    EXPECT_EQ(StepCheck(progress, c.event), c.step) << c.before.shown << " at " << c.event.atMs;
    EXPECT_EQ(progress.shown, c.after.shown) << c.event.atMs;
    EXPECT_EQ(progress.penDown, c.after.penDown) << c.event.atMs;
    EXPECT_EQ(progress.touchedAtMs, c.after.touchedAtMs) << c.event.atMs;
    EXPECT_EQ(progress.landed, landed(c.after.shown)) << c.event.atMs;
  }
}

}  // namespace
}  // namespace adjust
