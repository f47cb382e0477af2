// What the tool's start-up needs from the platform. The Win32 side implements it (adjust_platform_win32);
// unit tests implement it with a recording fake. The start-up logic calls the platform no other way.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "adjust_operations.h"
#include "screen_layout.h"

namespace adjust {

enum class HandOffEvent {
  Created,         // this is the only copy of the tool
  AlreadyExisted,  // another copy runs: signal it and end
  Unavailable,     // could not be created; the tool runs without hand-off
};

// The conditions the tool reports, each in a message box titled "Adjusting".
enum class Notice {
  NoBoard,         // "Please check whether the whiteboard is connected with the computer correctly!" (OK)
  NoExtendScreen,  // "No extend screen" (Yes, No, Cancel; the answer is not used)
  NoDriverBoard,   // the pen driver has not found the board (OK)
};

// The two kinds of run the tool drives through the library.
enum class CaptureRun {
  Point,         // the calibration's targets
  TouchButtons,  // the places of the touch buttons printed on the board
};

// How a target window (or the touch-button window) ended.
enum class TargetOutcome {
  Saved,     // the driver took the last target (or place) and saved the calibration (or the buttons)
  Stopped,   // Esc, Enter, a close request or a second copy of the tool
  TimedOut,  // nobody touched a target for the run's time-out
};

// How the check after a saved pass ended.
enum class CheckOutcome {
  Done,            // "Done", Esc or the check's time-out
  CalibrateAgain,  // "Calibrate again": the same pass once more
};

// The screen a pass covers: flag 0 is the whole primary screen; 1 or 2 the extended monitor `rect`.
struct PassScreen {
  std::int32_t flag = 0;
  ScreenRect rect{0, 0, 0, 0};
};

struct ChooserResult {
  bool ok;              // a count button closed the chooser (false: Cancel, Esc or the close box)
  std::uint32_t count;  // the chosen count, 0 unless a count button was clicked
};

class AdjustPlatform {
 public:
  virtual ~AdjustPlatform() = default;

  // The hand-off event (kernel_object_names.h; auto-reset), kept until the tool ends; the target
  // window polls it.
  virtual HandOffEvent CreateHandOffEvent() = 0;
  virtual void SignalHandOffEvent() = 0;
  virtual void CloseHandOffEvent() = 0;

  // The run's event (kernel_object_names.h), held from before a window starts a run until after the run
  // is stopped: the driver ends a run whose tool has gone. One run at a time.
  virtual void HoldRunEvent(CaptureRun run) = 0;
  virtual void ReleaseRunEvent() = 0;

  // Loads "Velno.DLL" by file name; false when it cannot be loaded.
  virtual bool LoadSharedState() = 0;
  virtual void* FindOperation(const char* name) = 0;

  // The value names of the system's serial-port map; empty when the map cannot be read.
  virtual std::vector<std::wstring> SerialDeviceNames() = 0;
  // Every monitor of the desktop in enumeration order; nullopt when the enumeration fails. A monitor
  // whose information cannot be read is left out.
  virtual std::optional<std::vector<MonitorInfo>> Monitors() = 0;

  virtual void Pause(std::uint32_t milliseconds) = 0;
  virtual void ShowNotice(Notice notice) = 0;
  // The modal chooser, centred on the pass's monitor for an extended pass.
  virtual ChooserResult RunChooser(const PassScreen& screen) = 0;
  // The modal target window for `count` targets on the pass's screen; returns when it has closed. It
  // leaves StopAdjust to the caller, whatever ended it.
  virtual TargetOutcome RunTargetWindow(const PassScreen& screen, std::uint32_t count,
                                        const AdjustOperations& operations) = 0;

  // The check after a saved pass: five crosses on the pass's screen, then the result screen.
  virtual CheckOutcome RunCheck(const PassScreen& screen, std::uint32_t count) = 0;

  // The touch-button set-up: the chooser of how many buttons are printed on the board; the window that
  // asks for each in turn while the driver measures it (polling the hand-off event and the button run's
  // index as the target window does; it leaves StopButtonAdjust to the caller); the result.
  virtual ChooserResult RunPrintedButtonChooser() = 0;
  virtual TargetOutcome RunTouchButtonWindow(std::uint32_t count, const AdjustOperations& operations) = 0;
  virtual void ShowTouchButtonsSetUp(std::uint32_t count) = 0;

  // A number of the calibration section of the driver's settings file beside the tool (never written
  // here); defaultValue when the file, the section or the key is missing.
  virtual std::int32_t ReadCalibrationNumber(const wchar_t* key, std::int32_t defaultValue) = 0;
  // Says that there is no calibration to check yet and offers to calibrate; true for "Calibrate".
  virtual bool OfferCalibration() = 0;
};

}  // namespace adjust
