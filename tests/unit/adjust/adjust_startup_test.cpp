// The tool's start-up and passes against a recording platform: which dialogs and message boxes come,
// in which order, and what reaches the shared state.
#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "adjust_startup.h"

namespace adjust {
namespace {

std::vector<std::string> g_calls;  // what the platform and the library were asked, in order

std::int32_t RecordGet(const char* name) {
  g_calls.push_back(name);
  return 1;
}
template <const char* Name>
std::int32_t Get() {
  return RecordGet(Name);
}
template <const char* Name>
std::int32_t Set(std::int32_t value) {
  g_calls.push_back(std::string(Name) + " " + std::to_string(value));
  return 0;
}

constexpr char kStop[] = "StopAdjust";
constexpr char kSetType[] = "SetAdjustType";
constexpr char kOther[] = "other";
constexpr char kStopButtons[] = "StopButtonAdjust";
constexpr char kSetButtonType[] = "SetButtonAdjustType";

int g_readsWithoutBoard = 0;  // GetDeviceState answers 0 this many times, then 1 (the driver has a board)
std::int32_t DeviceState() { return g_readsWithoutBoard-- > 0 ? 0 : 1; }
std::int32_t g_runActive = 0;  // IsAdjusting: a run an earlier copy left behind
std::int32_t RunActive() { return g_runActive; }

struct FakePlatform : AdjustPlatform {
  HandOffEvent event = HandOffEvent::Created;
  bool library = true;
  std::set<std::string> missing;
  std::vector<std::wstring> devices{L"\\Device\\Serial0", L"\\Device\\silabser0"};
  std::optional<std::vector<MonitorInfo>> monitors = std::vector<MonitorInfo>{{{0, 0, 1280, 1024}, true}};
  std::deque<ChooserResult> choices;
  std::deque<TargetOutcome> outcomes;  // of the target windows in turn; Stopped once used up
  std::deque<CheckOutcome> checks;     // of the checks in turn; Done once used up
  std::vector<std::string> looked_up;
  std::uint32_t paused_ms = 0;
  std::map<std::wstring, std::int32_t> saved;  // the calibration section of config.ini
  bool calibrateWhenOffered = false;

  HandOffEvent CreateHandOffEvent() override {
    g_calls.push_back("create event");
    return event;
  }
  void SignalHandOffEvent() override { g_calls.push_back("signal event"); }
  void CloseHandOffEvent() override { g_calls.push_back("close event"); }
  void HoldRunEvent(CaptureRun run) override { g_calls.push_back(run == CaptureRun::Point ? "hold run" : "hold button run"); }
  void ReleaseRunEvent() override { g_calls.push_back("release run"); }
  bool LoadSharedState() override { return library; }
  void* FindOperation(const char* name) override {
    looked_up.push_back(name);
    if (missing.count(name)) return nullptr;
    if (std::string(name) == kStop) return reinterpret_cast<void*>(&Get<kStop>);
    if (std::string(name) == kSetType) return reinterpret_cast<void*>(&Set<kSetType>);
    if (std::string(name) == "GetDeviceState") return reinterpret_cast<void*>(&DeviceState);
    if (std::string(name) == "IsAdjusting") return reinterpret_cast<void*>(&RunActive);
    if (std::string(name) == "IsButtonAdjusting") return reinterpret_cast<void*>(&RunActive);
    if (std::string(name) == "StopButtonAdjust") return reinterpret_cast<void*>(&Get<kStopButtons>);
    if (std::string(name) == "SetButtonAdjustType") return reinterpret_cast<void*>(&Set<kSetButtonType>);
    return reinterpret_cast<void*>(&Get<kOther>);
  }
  std::vector<std::wstring> SerialDeviceNames() override { return devices; }
  std::optional<std::vector<MonitorInfo>> Monitors() override {
    g_calls.push_back("monitors");
    return monitors;
  }
  void Pause(std::uint32_t milliseconds) override { paused_ms += milliseconds; }
  void ShowNotice(Notice notice) override {
    g_calls.push_back(notice == Notice::NoBoard          ? "notice no board"
                      : notice == Notice::NoExtendScreen ? "notice no extend screen"
                                                         : "notice no driver board");
  }
  ChooserResult RunChooser(const PassScreen& screen) override {
    g_calls.push_back("chooser " + std::to_string(screen.flag) + " " + std::to_string(screen.rect.left));
    if (choices.empty()) return {false, 0};
    const ChooserResult choice = choices.front();
    choices.pop_front();
    return choice;
  }
  TargetOutcome RunTargetWindow(const PassScreen& screen, std::uint32_t count, const AdjustOperations&) override {
    g_calls.push_back("targets " + std::to_string(count) + " on " + std::to_string(screen.flag) + " " +
                      std::to_string(screen.rect.left) + "," + std::to_string(screen.rect.top) + "," +
                      std::to_string(screen.rect.right) + "," + std::to_string(screen.rect.bottom));
    return Next(outcomes, TargetOutcome::Stopped);
  }
  CheckOutcome RunCheck(const PassScreen& screen, std::uint32_t count) override {
    g_calls.push_back("check " + std::to_string(count) + " on " + std::to_string(screen.flag) + " " +
                      std::to_string(screen.rect.left));
    return Next(checks, CheckOutcome::Done);
  }

  ChooserResult RunPrintedButtonChooser() override {
    g_calls.push_back("printed buttons chooser");
    return Next(choices, ChooserResult{false, 0});
  }
  TargetOutcome RunTouchButtonWindow(std::uint32_t count, const AdjustOperations&) override {
    g_calls.push_back("touch buttons " + std::to_string(count));
    return Next(outcomes, TargetOutcome::Stopped);
  }
  void ShowTouchButtonsSetUp(std::uint32_t count) override { g_calls.push_back("set up " + std::to_string(count)); }

  std::int32_t ReadCalibrationNumber(const wchar_t* key, std::int32_t defaultValue) override {
    const auto value = saved.find(key);
    return value == saved.end() ? defaultValue : value->second;
  }
  bool OfferCalibration() override {
    g_calls.push_back("offer calibration");
    return calibrateWhenOffered;
  }

  template <typename T>
  static T Next(std::deque<T>& queue, T otherwise) {
    if (queue.empty()) return otherwise;
    const T next = queue.front();
    queue.pop_front();
    return next;
  }
};

using Calls = std::vector<std::string>;

Calls RunTool(FakePlatform& platform, const wchar_t* path, int readsWithoutBoard = 0, std::int32_t runActive = 0,
              ToolMode mode = ToolMode::Calibrate) {
  g_calls.clear();
  g_readsWithoutBoard = readsWithoutBoard;
  g_runActive = runActive;
  RunAdjust(platform, path, mode);
  return g_calls;
}

TEST(AdjustStartup, EndsEarlyAndSilentlyOrWithTheBoardMessage) {
  FakePlatform running;
  running.event = HandOffEvent::AlreadyExisted;
  EXPECT_EQ(RunTool(running, L"Adjust_single_standard.exe"), (Calls{"create event", "signal event", "close event"}));

  FakePlatform noLibrary;
  noLibrary.library = false;
  EXPECT_EQ(RunTool(noLibrary, L"Adjust_single_standard.exe"), (Calls{"create event", "close event"}));

  FakePlatform noButtonOperation;
  noButtonOperation.missing = {"IsButtonAdjusting"};
  EXPECT_EQ(RunTool(noButtonOperation, L"Adjust_single_standard.exe"), (Calls{"create event", "close event"}));
  FakePlatform noPointOperation;
  noPointOperation.missing = {"GetAdjustType"};
  EXPECT_EQ(RunTool(noPointOperation, L"Adjust_single_standard.exe"), (Calls{"create event", "close event"}));
  // The button names are not looked up once a point-run name is missing.
  EXPECT_EQ(noPointOperation.looked_up.back(), "GetAdjustType");

  FakePlatform noBoard;
  noBoard.devices = {L"\\Device\\Serial0"};
  EXPECT_EQ(RunTool(noBoard, L"Adjust_single_standard.exe"), (Calls{"create event", "notice no board", "close event"}));
  // The board check runs whatever the name says.
  EXPECT_EQ(RunTool(noBoard, L"Adjust.exe"), (Calls{"create event", "notice no board", "close event"}));

  // Ports listed, but no driver finds the board within 5 s: its own message, and no chooser.
  FakePlatform noDriver;
  EXPECT_EQ(RunTool(noDriver, L"Adjust_single_standard.exe", 1000),
            (Calls{"create event", "notice no driver board", "close event"}));
  EXPECT_EQ(noDriver.paused_ms, 5000u);
  // A driver that finds the board a moment after the tool starts (both started at logon): the chooser.
  FakePlatform driverStarting;
  EXPECT_EQ(RunTool(driverStarting, L"Adjust_single_standard.exe", 3),
            (Calls{"create event", "chooser 0 0", "close event"}));
  EXPECT_EQ(driverStarting.paused_ms, 300u);

  // The plain name shows nothing, whether a driver has the board or not.
  FakePlatform plainName;
  EXPECT_EQ(RunTool(plainName, L"C:\\Velno\\Adjust.exe"), (Calls{"create event", "close event"}));
  EXPECT_EQ(RunTool(plainName, L"C:\\Velno\\Adjust.exe", 1000), (Calls{"create event", "close event"}));
  EXPECT_EQ(plainName.paused_ms, 0u);

  // A run still active when the only copy starts was left by a copy that was killed: it ends first. A
  // copy that hands off to a running one leaves that one's run alone.
  FakePlatform afterAKill;
  EXPECT_EQ(RunTool(afterAKill, L"Adjust_single_standard.exe", 0, 1),
            (Calls{"create event", "StopAdjust", "chooser 0 0", "close event"}));
  EXPECT_EQ(RunTool(running, L"Adjust_single_standard.exe", 0, 1), (Calls{"create event", "signal event", "close event"}));
}

TEST(AdjustStartup, PassesAnnounceTheCountAndStopAfterEveryTargetWindow) {
  FakePlatform standard;
  standard.choices = {{true, 9}};
  EXPECT_EQ(RunTool(standard, L"Adjust_single_standard.exe"),
            (Calls{"create event", "chooser 0 0", "SetAdjustType 9", "hold run", "targets 9 on 0 0,0,0,0", "StopAdjust", "release run",
                   "close event"}));

  // An event that could not be created is neither signalled nor closed; the passes still run.
  FakePlatform withoutEvent;
  withoutEvent.event = HandOffEvent::Unavailable;
  withoutEvent.choices = {{true, 4}};
  EXPECT_EQ(RunTool(withoutEvent, L"Adjust_single_standard.exe"),
            (Calls{"create event", "chooser 0 0", "SetAdjustType 4", "hold run", "targets 4 on 0 0,0,0,0", "StopAdjust", "release run"}));

  // One monitor: the standard pass runs in full, the extended one reports and ends the tool.
  FakePlatform oneMonitor;
  oneMonitor.choices = {{true, 4}};
  EXPECT_EQ(RunTool(oneMonitor, L"Adjust_standard_extend_double.exe"),
            (Calls{"create event", "chooser 0 0", "SetAdjustType 4", "hold run", "targets 4 on 0 0,0,0,0", "StopAdjust", "release run",
                   "monitors", "notice no extend screen", "close event"}));

  // A failed enumeration is no extended screen either, and later passes are skipped.
  FakePlatform enumerationFails;
  enumerationFails.monitors = std::nullopt;
  EXPECT_EQ(RunTool(enumerationFails, L"Adjust_extend_double.exe"),
            (Calls{"create event", "monitors", "notice no extend screen", "close event"}));

  // Cancel in pass 1 skips it and leaves the shared state alone; pass 2 searches again and runs. The
  // standard OK without a count (Enter) is no choice either.
  FakePlatform twoMonitors;
  twoMonitors.monitors = std::vector<MonitorInfo>{{{0, 0, 1280, 1024}, true}, {{1280, 0, 2560, 1024}, false}};
  twoMonitors.choices = {{false, 0}, {true, 16}};
  EXPECT_EQ(RunTool(twoMonitors, L"Adjust_extend_double.exe"),
            (Calls{"create event", "monitors", "chooser 1 1280", "monitors", "chooser 1 1280", "SetAdjustType 65552",
                   "hold run", "targets 16 on 1 1280,0,2560,1024", "StopAdjust", "release run", "close event"}));
  twoMonitors.monitors = std::vector<MonitorInfo>{{{0, 0, 1280, 1024}, true}, {{0, 1024, 1280, 2048}, false}};
  twoMonitors.choices = {{true, 0}, {true, 25}};
  EXPECT_EQ(RunTool(twoMonitors, L"Adjust_extend_double.exe"),
            (Calls{"create event", "monitors", "chooser 2 0", "monitors", "chooser 2 0", "SetAdjustType 131097",
                   "hold run", "targets 25 on 2 0,1024,1280,2048", "StopAdjust", "release run", "close event"}));
}

TEST(AdjustStartup, SavedPassesAreCheckedAndATimedOutRunEndsTheTool) {
  // Saved, "Calibrate again", saved again, "Done"; then the second pass runs.
  FakePlatform again;
  again.monitors = std::vector<MonitorInfo>{{{0, 0, 1280, 1024}, true}, {{1280, 0, 2560, 1024}, false}};
  again.choices = {{true, 9}, {true, 4}};
  again.outcomes = {TargetOutcome::Saved, TargetOutcome::Saved, TargetOutcome::Saved};
  again.checks = {CheckOutcome::CalibrateAgain, CheckOutcome::Done};
  EXPECT_EQ(RunTool(again, L"Adjust_standard_extend_double.exe"),
            (Calls{"create event", "chooser 0 0", "SetAdjustType 9", "hold run", "targets 9 on 0 0,0,0,0", "StopAdjust", "release run",
                   "check 9 on 0 0", "SetAdjustType 9", "hold run", "targets 9 on 0 0,0,0,0", "StopAdjust", "release run", "check 9 on 0 0",
                   "monitors", "chooser 1 1280", "SetAdjustType 65540", "hold run", "targets 4 on 1 1280,0,2560,1024",
                   "StopAdjust", "release run", "check 4 on 1 1280", "close event"}));

  // A run nobody touched ends the tool: no check, and the second pass does not start.
  FakePlatform timedOut;
  timedOut.choices = {{true, 9}, {true, 9}};
  timedOut.outcomes = {TargetOutcome::TimedOut};
  EXPECT_EQ(RunTool(timedOut, L"Adjust_standard_double.exe"),
            (Calls{"create event", "chooser 0 0", "SetAdjustType 9", "hold run", "targets 9 on 0 0,0,0,0", "StopAdjust", "release run",
                   "close event"}));
}

TEST(AdjustStartup, TheCheckSwitchChecksTheSavedCalibrationOnItsScreen) {
  const std::vector<MonitorInfo> twoMonitors{{{0, 0, 1280, 1024}, true}, {{1280, 0, 2560, 1024}, false}};
  const struct {
    const char* name;
    std::map<std::wstring, std::int32_t> saved;
    std::vector<MonitorInfo> monitors;
    std::deque<CheckOutcome> checks;
    bool calibrateWhenOffered;
    Calls calls;
  } cases[] = {
      {"the primary screen", {{L"AdjustType", 9}, {L"extendScreenFlag", 0}}, {}, {}, false,
       {"create event", "check 9 on 0 0", "close event"}},
      {"a screen flag the driver reads as none (missing: 260)", {{L"AdjustType", 9}, {L"extendScreenFlag", 260}}, {},
       {}, false, {"create event", "check 9 on 0 0", "close event"}},
      {"the extended monitor", {{L"AdjustType", 16}, {L"extendScreenFlag", 1}}, twoMonitors, {}, false,
       {"create event", "monitors", "check 16 on 1 1280", "close event"}},
      {"the extended monitor gone", {{L"AdjustType", 16}, {L"extendScreenFlag", 1}}, {}, {}, false,
       {"create event", "monitors", "notice no extend screen", "close event"}},
      {"Calibrate again: the saved count's targets, then their check",
       {{L"AdjustType", 9}, {L"extendScreenFlag", 0}}, {}, {CheckOutcome::CalibrateAgain}, false,
       {"create event", "check 9 on 0 0", "SetAdjustType 9", "hold run", "targets 9 on 0 0,0,0,0", "StopAdjust",
        "release run", "check 9 on 0 0", "close event"}},
      {"no calibration, the offer declined", {{L"AdjustType", 7}}, {}, {}, false,
       {"create event", "offer calibration", "close event"}},
      {"no calibration, \"Calibrate\": this screen's pass", {}, {}, {}, true,
       {"create event", "offer calibration", "chooser 0 0", "SetAdjustType 4", "hold run", "targets 4 on 0 0,0,0,0",
        "StopAdjust", "release run", "check 4 on 0 0", "close event"}},
  };
  for (const auto& c : cases) {
    FakePlatform platform;
    platform.saved = c.saved;
    if (!c.monitors.empty()) platform.monitors = c.monitors;
    platform.checks = c.checks;
    platform.outcomes = {TargetOutcome::Saved};
    platform.choices = {{true, 4}};
    platform.calibrateWhenOffered = c.calibrateWhenOffered;
    EXPECT_EQ(RunTool(platform, L"Adjust_single_extend.exe", 0, 0, ToolMode::Check), c.calls) << c.name;
  }
  // The check needs the pen: without a board it says so, as a calibration does.
  FakePlatform noBoard;
  noBoard.devices = {};
  EXPECT_EQ(RunTool(noBoard, L"Adjust_single_standard.exe", 0, 0, ToolMode::Check),
            (Calls{"create event", "notice no board", "close event"}));
}

// The touch buttons (set up whole in the Wine scenario): no result when nobody touched; a run left by a
// killed set-up ends first, but calibrating leaves a touch-button run alone.
TEST(AdjustStartup, TheButtonsSwitchSetsUpTheTouchButtons) {
  FakePlatform timedOutAfterAKill;
  timedOutAfterAKill.choices = {{true, 20}};
  timedOutAfterAKill.outcomes = {TargetOutcome::TimedOut};
  EXPECT_EQ(RunTool(timedOutAfterAKill, L"Adjust_single_standard.exe", 0, 1, ToolMode::TouchButtons),
            (Calls{"create event", "StopAdjust", "StopButtonAdjust", "printed buttons chooser", "SetButtonAdjustType 20",
                   "hold button run", "touch buttons 20", "StopButtonAdjust", "release run", "close event"}));
  FakePlatform calibrating;
  EXPECT_EQ(RunTool(calibrating, L"Adjust_single_standard.exe", 0, 1),
            (Calls{"create event", "StopAdjust", "chooser 0 0", "close event"}));
}

}  // namespace
}  // namespace adjust
