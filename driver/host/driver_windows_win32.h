// The driver's windows, on one thread of their own so that the pen's reader threads never wait for
// them: the icon in the notification area with its menu and notifications, the settings window and the
// About window. Only the driver in a user's session shows them, never a process of session 0.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>

#include "driver.h"
#include "driver_platform_win32.h"
#include "settings/teacher_settings.h"
#include "tray/icon_menu.h"

namespace velno {

// The hidden window that owns the icon: found by its class, it takes the menu's commands (WM_COMMAND with
// a MenuCommand) and the icon's events (kIconCallback, the event in the low word of lParam).
inline constexpr const wchar_t* kDriverWindowClass = L"VelnoDriverWindows";
inline constexpr UINT kIconCallback = WM_APP + 1;

class DriverWindows {
 public:
  DriverWindows(Driver& driver, Win32ToolStarter& toolStarter);
  // Starts the windows' thread; call once the library is bound (RunDriver's `windowsStart`).
  void Start();
  // Takes the icon away and ends the thread, waiting for it a moment.
  void Stop();
  // The driver's statusChanged: the icon looks at the driver again. Posts, so that no pen thread waits.
  void StatusChanged();

 private:
  Driver& driver_;
  Win32ToolStarter& toolStarter_;
  HANDLE thread_ = nullptr;
  std::atomic<HWND> window_{nullptr};  // the icon's window, once made
};

// "VelnoDriver.exe /settings": asks the driver of this session to open its settings window. False when no
// driver runs here.
bool OpenSettingsOfRunningDriver();

// The titles of the windows, as their templates give them.
inline constexpr const wchar_t* kSettingsTitle = L"Velno settings";
inline constexpr const wchar_t* kAboutTitle = L"About Velno";

// The settings window (IDD_SETTINGS) on the calling thread until it is closed; `changed` hears of every
// change of the teacher's settings, after it took effect and was saved; `startTool` starts the tool for
// the touch buttons' set-up.
void RunSettingsWindow(HINSTANCE instance, Driver& driver, const std::function<void(const TeacherSettings&)>& changed,
                       const std::function<void(MenuCommand)>& startTool);

// The About window (IDD_ABOUT) on the calling thread until it is closed.
void RunAboutWindow(HINSTANCE instance, Driver& driver);

}  // namespace velno
