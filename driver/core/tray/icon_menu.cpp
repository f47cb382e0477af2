#include "tray/icon_menu.h"

#include <optional>

#include "tool_programs.h"

namespace velno {
namespace {

struct ToolLaunch {
  const wchar_t* program;
  const wchar_t* arguments;
};

std::optional<ToolLaunch> LaunchFor(MenuCommand command) {
  switch (command) {
    case MenuCommand::CalibrateThisScreen:
      return ToolLaunch{kCalibrateThisScreenProgram, L""};
    case MenuCommand::CalibrateSecondScreen:
      return ToolLaunch{kCalibrateSecondScreenProgram, L""};
    case MenuCommand::CalibrateBothScreens:
      return ToolLaunch{kCalibrateBothScreensProgram, L""};
    case MenuCommand::CheckCalibration:
      // The check finds the screen of the saved calibration itself; the name only has to be the tool's.
      return ToolLaunch{kCalibrateThisScreenProgram, kCheckCalibrationSwitch};
    case MenuCommand::SetUpTouchButtons:
      return ToolLaunch{kCalibrateThisScreenProgram, kTouchButtonSetupSwitch};
    case MenuCommand::Settings:
    case MenuCommand::About:
      break;
  }
  return std::nullopt;
}

}  // namespace

std::vector<MenuItem> IconMenu(const MenuConditions& conditions) {
  const bool toolFree = !conditions.toolRunning;
  const bool bothScreens = toolFree && conditions.secondScreen;
  return {
      {MenuCommand::CalibrateThisScreen, L"Calibrate this screen", toolFree, false},
      {MenuCommand::CalibrateSecondScreen, L"Calibrate the second screen", bothScreens, false},
      {MenuCommand::CalibrateBothScreens, L"Calibrate both screens", bothScreens, false},
      {MenuCommand::CheckCalibration, L"Check the calibration", toolFree, false},
      {MenuCommand::Settings, L"Settings\u2026", true, true},
      {MenuCommand::About, L"About Velno", true, false},
  };
}

bool MenuCommandEnabled(MenuCommand command, const MenuConditions& conditions) {
  for (const MenuItem& item : IconMenu(conditions)) {
    if (item.command == command) return item.enabled;
  }
  return false;
}

bool ToolBusy(ToolStarter& starter, ToolPresence& tool) {
  return starter.StartedToolRunning() || tool.RunToolPresent(CaptureRun::Point) ||
         tool.RunToolPresent(CaptureRun::Button);
}

ToolStart StartToolFor(ToolStarter& starter, ToolPresence& tool, MenuCommand command) {
  const std::optional<ToolLaunch> launch = LaunchFor(command);
  if (!launch) return ToolStart::NotATool;
  if (ToolBusy(starter, tool)) return ToolStart::AlreadyRunning;
  return starter.StartTool(launch->program, launch->arguments) ? ToolStart::Started : ToolStart::Failed;
}

}  // namespace velno
