// The events the driver and its service write to the Windows event log (source "VelnoDriver"): how IT
// finds out why a board "does not work" without visiting the room. Each is a message of the program's
// message table (host/event_messages.mc, same numbers): the severity in the top two bits, the identifier the
// event viewer shows in the low word; the words of an event fill its message's %1, %2, ...
#pragma once

#include <cstdint>

namespace velno {

enum class LogEvent : std::uint32_t {
  ServiceStarted = 0x40000064,      // 100
  ServiceStopped = 0x40000065,      // 101
  DriverLaunched = 0x40000066,      // 102: user, session
  DriverLaunchFailed = 0xC0000067,  // 103: session, the error
  BoardFound = 0x40000068,          // 104: port
  BoardLost = 0x80000069,           // 105: port
  CalibrationSaved = 0x4000006A,    // 106: points, screen
  CalibrationRefused = 0x8000006B,  // 107: points, screen
  SettingsNotWritten = 0xC000006C,  // 108: file, the error
  LinkUnhealthy = 0x8000006D,       // 109: port, dropped reports, all reports
  DriverNotEnded = 0x8000006E,      // 110, by the package's helper: the program file
  BoardComesAndGoes = 0x8000006F,   // 111: port, times lost, times found again, minutes
  DriverRelaunched = 0x40000070,    // 112: user, more launches, minutes
  SettingsDamaged = 0x80000071,     // 113: file, what was found, what was loaded instead
  SettingsReadOnly = 0x80000072,    // 114: file
  SettingsCopyNotWritten = 0x80000073,  // 115: the copy, the error
  StopEventNameTaken = 0x80000074,  // 116: the name, what holds it
  ServiceFailed = 0xC0000075,       // 117: why
  CommandDone = 0x40000076,         // 118, by "/c" and "/d" with nobody to tell: what was done
  CommandFailed = 0xC0000077,       // 119, the same: what failed and why
  SettingsRefused = 0x80000078,     // 120: the values of the section "Velno" read as their defaults
  ActionsRefused = 0x8000007D,      // 125: the button actions of the section "Velno" read as their defaults
  ActionNotStarted = 0x8000007E,    // 126: the trigger, its action, why
};

enum class LogSeverity { Information, Warning, Error };

constexpr LogSeverity SeverityOf(LogEvent event) {
  switch (static_cast<std::uint32_t>(event) >> 30) {
    case 3:
      return LogSeverity::Error;
    case 2:
      return LogSeverity::Warning;
    default:
      return LogSeverity::Information;
  }
}

}  // namespace velno
