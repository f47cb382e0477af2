// The menu of the driver's icon: its items in order, which of them can be chosen, and the calibration
// tool each calibrate item starts, under the program name the Start menu starts it with.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/tool_presence.h"
#include "platform/tool_starter.h"

namespace velno {

// The items' command numbers (WM_COMMAND of the icon's window; "VelnoDriver.exe /settings" posts Settings).
enum class MenuCommand : std::uint16_t {
  CalibrateThisScreen = 40001,
  CalibrateSecondScreen = 40002,
  CalibrateBothScreens = 40003,
  CheckCalibration = 40004,
  Settings = 40005,
  About = 40006,
  // Not in the menu: the settings window's "Set up the touch buttons".
  SetUpTouchButtons = 40007,
};

struct MenuItem {
  MenuCommand command;
  std::wstring text;
  bool enabled;
  bool separatorBefore;

  friend bool operator==(const MenuItem&, const MenuItem&) = default;
};

// What the menu offers now: the second screen's items need a second monitor; nothing starts the tool
// while it runs.
struct MenuConditions {
  bool secondScreen;
  bool toolRunning;
};

std::vector<MenuItem> IconMenu(const MenuConditions& conditions);

// Whether `command` is an item the menu offers enabled now (a command posted from elsewhere is held to
// the same rule).
bool MenuCommandEnabled(MenuCommand command, const MenuConditions& conditions);

// Whether the calibration tool runs, however it was started.
bool ToolBusy(ToolStarter& starter, ToolPresence& tool);

enum class ToolStart { Started, AlreadyRunning, Failed, NotATool };

// Starts the tool for a calibrate or check item, or the touch buttons' set-up, unless it already runs.
ToolStart StartToolFor(ToolStarter& starter, ToolPresence& tool, MenuCommand command);

}  // namespace velno
