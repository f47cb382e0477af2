#include "adjust_startup.h"

#include "board_ports.h"
#include "point_count_choice.h"
#include "program_name.h"

namespace adjust {
namespace {

enum class PassOutcome { Continue, EndTool };

// One pass: the chooser, the adjust type, the target window, and StopAdjust whatever ended the window.
// A cancelled chooser skips the pass and leaves the shared state alone; so does an OK without a count
// the driver can lay out (the dialog's standard OK, from Enter, carries none).
void RunPass(AdjustPlatform& platform, const AdjustOperations& operations, const PassScreen& screen) {
  const ChooserResult choice = platform.RunChooser(screen);
  if (!choice.ok || !IsSupportedCount(choice.count)) return;
  operations.SetAdjustType(AdjustTypeFor(choice.count, screen.flag));
  platform.RunTargetWindow(screen, choice.count, operations);
  operations.StopAdjust();
}

PassOutcome RunExtendedPass(AdjustPlatform& platform, const AdjustOperations& operations) {
  // Searched afresh for every extended pass, so a second one sees the monitors as they are then.
  const auto monitors = platform.Monitors();
  const auto extend = monitors ? FindExtendScreen(*monitors) : std::nullopt;
  if (!extend) {
    platform.ShowNotice(Notice::NoExtendScreen);
    return PassOutcome::EndTool;
  }
  RunPass(platform, operations, PassScreen{extend->flag, extend->rect});
  return PassOutcome::Continue;
}

void RunPasses(AdjustPlatform& platform, const AdjustOperations& operations, const PassList& passes) {
  for (const ScreenKind kind : passes) {
    if (kind == ScreenKind::Standard) RunPass(platform, operations, PassScreen{});
    if (kind == ScreenKind::Extended && RunExtendedPass(platform, operations) == PassOutcome::EndTool) return;
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
    const PassList passes = PassesForProgramPath(programPath);
    if (CountBoardPorts(platform.SerialDeviceNames()) == 0) {
      platform.ShowNotice(Notice::NoBoard);
    } else {
      RunPasses(platform, operations, passes);
    }
  }
  if (handOff == HandOffEvent::Created) platform.CloseHandOffEvent();
}

}  // namespace adjust
