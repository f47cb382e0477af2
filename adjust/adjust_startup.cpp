#include "adjust_startup.h"

#include "board_facts.h"
#include "board_ports.h"
#include "point_count_choice.h"
#include "program_name.h"
#include "saved_calibration.h"
#include "settings_file_names.h"
#include "touch_button_setup.h"

namespace adjust {
namespace {

enum class PassOutcome { Continue, EndTool };

// The device state the driver publishes while it has a board that answered its handshake.
constexpr std::int32_t kDriverHasBoard = 1;
// The driver looks for boards every 2 s: a tool started as the driver starts, or just after the board was
// plugged in, gives it this long to find the board before telling the teacher it has not.
constexpr std::uint32_t kDriverSearchWaitMs = 5000;
constexpr std::uint32_t kDriverPollMs = 100;

bool DriverHasBoard(AdjustPlatform& platform, const AdjustOperations& operations) {
  for (std::uint32_t waited = 0;; waited += kDriverPollMs) {
    if (operations.GetDeviceState() == kDriverHasBoard) return true;
    if (waited >= kDriverSearchWaitMs) return false;
    platform.Pause(kDriverPollMs);
  }
}

// The adjust type, the target window, and StopAdjust whatever ended the window; after a saved
// calibration the check, whose "Calibrate again" runs the targets of the same count once more. A run
// that timed out ends the tool: nobody is at the board.
PassOutcome RunTargetsAndChecks(AdjustPlatform& platform, const AdjustOperations& operations,
                                const PassScreen& screen, std::uint32_t count) {
  for (;;) {
    operations.SetAdjustType(velno::EncodeAdjustType(count, screen.flag));
    platform.HoldRunEvent(CaptureRun::Point);
    const TargetOutcome outcome = platform.RunTargetWindow(screen, count, operations);
    operations.StopAdjust();
    platform.ReleaseRunEvent();
    if (outcome == TargetOutcome::TimedOut) return PassOutcome::EndTool;
    if (outcome != TargetOutcome::Saved) return PassOutcome::Continue;
    if (platform.RunCheck(screen, count) == CheckOutcome::Done) return PassOutcome::Continue;
  }
}

// One pass: the chooser, then the targets and their checks. A cancelled chooser skips the pass and
// leaves the shared state alone; so does an OK without a count the driver can lay out (the dialog's
// standard OK, from Enter, carries none).
PassOutcome RunPass(AdjustPlatform& platform, const AdjustOperations& operations, const PassScreen& screen) {
  const ChooserResult choice = platform.RunChooser(screen);
  if (!choice.ok || !IsSupportedCount(choice.count)) return PassOutcome::Continue;
  return RunTargetsAndChecks(platform, operations, screen, choice.count);
}

// The extended monitor, searched afresh every time so that a second pass sees the monitors as they are
// then; without one the teacher is told and the tool ends.
std::optional<PassScreen> ExtendedScreen(AdjustPlatform& platform) {
  const auto monitors = platform.Monitors();
  const auto extend = monitors ? FindExtendScreen(*monitors) : std::nullopt;
  if (!extend) {
    platform.ShowNotice(Notice::NoExtendScreen);
    return std::nullopt;
  }
  return PassScreen{extend->flag, extend->rect};
}

PassOutcome RunExtendedPass(AdjustPlatform& platform, const AdjustOperations& operations) {
  const auto screen = ExtendedScreen(platform);
  return screen ? RunPass(platform, operations, *screen) : PassOutcome::EndTool;
}

// "Check the calibration": the check of the saved calibration on the screen it was made for, without
// calibrating; its "Calibrate again" runs that screen's targets. With no calibration saved the
// teacher is told so and may calibrate this screen.
void RunCheckMode(AdjustPlatform& platform, const AdjustOperations& operations) {
  const auto saved = SavedCalibrationOf(platform.ReadCalibrationNumber(velno::kPointCountKey, 0),
                                        platform.ReadCalibrationNumber(velno::kScreenFlagKey, 0));
  if (!saved) {
    if (platform.OfferCalibration()) RunPass(platform, operations, PassScreen{});
    return;
  }
  const auto screen = saved->screenFlag == 0 ? PassScreen{} : ExtendedScreen(platform);
  if (screen && platform.RunCheck(*screen, saved->pointCount) == CheckOutcome::CalibrateAgain) {
    RunTargetsAndChecks(platform, operations, *screen, saved->pointCount);
  }
}

// The touch buttons printed on the board: how many, then each touched in turn while the driver measures
// it; the driver saves them after the last. Stopped any other way, the run leaves the buttons of before.
void RunTouchButtonSetup(AdjustPlatform& platform, const AdjustOperations& operations) {
  const ChooserResult choice = platform.RunPrintedButtonChooser();
  if (!choice.ok || choice.count < 1 || choice.count > kMaxPrintedButtons) return;
  operations.SetButtonAdjustType(static_cast<std::int32_t>(choice.count));
  platform.HoldRunEvent(CaptureRun::TouchButtons);
  const TargetOutcome outcome = platform.RunTouchButtonWindow(choice.count, operations);
  operations.StopButtonAdjust();
  platform.ReleaseRunEvent();
  if (outcome == TargetOutcome::Saved) platform.ShowTouchButtonsSetUp(choice.count);
}

void RunPasses(AdjustPlatform& platform, const AdjustOperations& operations, const PassList& passes) {
  for (const ScreenKind kind : passes) {
    const PassOutcome outcome = kind == ScreenKind::Standard   ? RunPass(platform, operations, PassScreen{})
                                : kind == ScreenKind::Extended ? RunExtendedPass(platform, operations)
                                                               : PassOutcome::Continue;
    if (outcome == PassOutcome::EndTool) return;
  }
}

}  // namespace

void RunAdjust(AdjustPlatform& platform, std::wstring_view programPath, ToolMode mode) {
  const HandOffEvent handOff = platform.CreateHandOffEvent();
  if (handOff == HandOffEvent::AlreadyExisted) {
    platform.SignalHandOffEvent();
    platform.CloseHandOffEvent();
    return;
  }
  AdjustOperations operations{};
  const bool bound = platform.LoadSharedState() &&
                     BindAdjustOperations([&](const char* name) { return platform.FindOperation(name); }, operations);
  if (bound) {
    // No other copy runs, so a run still active is one an earlier tool left behind when it was killed,
    // and the pen stays with it until the driver notices: it ends before anything shows. A touch-button
    // run is ended only by the set-up, which drives such runs: another program may drive one meanwhile.
    if (handOff == HandOffEvent::Created && operations.IsAdjusting() != 0) operations.StopAdjust();
    if (handOff == HandOffEvent::Created && mode == ToolMode::TouchButtons && operations.IsButtonAdjusting() != 0) {
      operations.StopButtonAdjust();
    }
    const PassList passes = PassesForProgramPath(programPath);
    const bool anyPass = passes[0] != ScreenKind::None || passes[1] != ScreenKind::None;
    if (CountBoardPorts(platform.SerialDeviceNames()) == 0) {
      platform.ShowNotice(Notice::NoBoard);
    } else if ((anyPass || mode != ToolMode::Calibrate) && !DriverHasBoard(platform, operations)) {
      // No driver runs, or it has not found the board: no target would ever be taken.
      platform.ShowNotice(Notice::NoDriverBoard);
    } else if (mode == ToolMode::Check) {
      RunCheckMode(platform, operations);
    } else if (mode == ToolMode::TouchButtons) {
      RunTouchButtonSetup(platform, operations);
    } else {
      RunPasses(platform, operations, passes);
    }
  }
  if (handOff == HandOffEvent::Created) platform.CloseHandOffEvent();
}

}  // namespace adjust
