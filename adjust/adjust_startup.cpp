#include "adjust_startup.h"

#include "board_facts.h"
#include "board_ports.h"
#include "point_count_choice.h"
#include "program_name.h"

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

// One pass: the chooser, the adjust type, the target window, and StopAdjust whatever ended the window;
// after a saved calibration the check, whose "Calibrate again" runs the targets of the same count once
// more. A cancelled chooser skips the pass and leaves the shared state alone; so does an OK without a
// count the driver can lay out (the dialog's standard OK, from Enter, carries none). A run that timed
// out ends the tool: nobody is at the board.
PassOutcome RunPass(AdjustPlatform& platform, const AdjustOperations& operations, const PassScreen& screen) {
  const ChooserResult choice = platform.RunChooser(screen);
  if (!choice.ok || !IsSupportedCount(choice.count)) return PassOutcome::Continue;
  for (;;) {
    operations.SetAdjustType(velno::EncodeAdjustType(choice.count, screen.flag));
    platform.HoldRunEvent();
    const TargetOutcome outcome = platform.RunTargetWindow(screen, choice.count, operations);
    operations.StopAdjust();
    platform.ReleaseRunEvent();
    if (outcome == TargetOutcome::TimedOut) return PassOutcome::EndTool;
    if (outcome != TargetOutcome::Saved) return PassOutcome::Continue;
    if (platform.RunCheck(screen, choice.count) == CheckOutcome::Done) return PassOutcome::Continue;
  }
}

PassOutcome RunExtendedPass(AdjustPlatform& platform, const AdjustOperations& operations) {
  // Searched afresh for every extended pass, so a second one sees the monitors as they are then.
  const auto monitors = platform.Monitors();
  const auto extend = monitors ? FindExtendScreen(*monitors) : std::nullopt;
  if (!extend) {
    platform.ShowNotice(Notice::NoExtendScreen);
    return PassOutcome::EndTool;
  }
  return RunPass(platform, operations, PassScreen{extend->flag, extend->rect});
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

void RunAdjust(AdjustPlatform& platform, std::wstring_view programPath) {
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
    // and the pen stays with it until the driver notices: it ends before anything shows.
    if (handOff == HandOffEvent::Created && operations.IsAdjusting() != 0) operations.StopAdjust();
    const PassList passes = PassesForProgramPath(programPath);
    const bool anyPass = passes[0] != ScreenKind::None || passes[1] != ScreenKind::None;
    if (CountBoardPorts(platform.SerialDeviceNames()) == 0) {
      platform.ShowNotice(Notice::NoBoard);
    } else if (anyPass && !DriverHasBoard(platform, operations)) {
      // No driver runs, or it has not found the board: no target would ever be taken.
      platform.ShowNotice(Notice::NoDriverBoard);
    } else {
      RunPasses(platform, operations, passes);
    }
  }
  if (handOff == HandOffEvent::Created) platform.CloseHandOffEvent();
}

}  // namespace adjust
