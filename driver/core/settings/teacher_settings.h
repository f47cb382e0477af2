// The settings a teacher changes in the settings window, as config.ini keeps them: gestures and
// press-and-hold, the icon, in the section "Velno" with keys an IT person can read and values as words
// ("Gestures=on", "PressAndHoldSeconds=2.5"); the two gesture sizes stay where the driver has always kept
// them, in the calibration section. A value the driver cannot take is read as its default and reported,
// and the next save writes a good one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calibration/settings_file.h"
#include "platform/settings_store.h"

namespace velno {

inline const std::wstring kTeacherSection = L"Velno";

inline constexpr std::int32_t kHoldMinMs = 1000;
inline constexpr std::int32_t kHoldMaxMs = 10000;
inline constexpr std::int32_t kHoldStepMs = 500;

struct TeacherSettings {
  bool gestures = false;
  bool pressAndHold = true;
  std::int32_t holdMs = kHoldMaxMs;  // how long the pen rests before lifting it gives a right click
  bool showIcon = true;
  std::int32_t gestureBrush = kDefaultGestureBrush;  // the library's thresholds, hundredths of a square unit
  std::int32_t gestureErase = kDefaultGestureErase;

  friend bool operator==(const TeacherSettings&, const TeacherSettings&) = default;
};

// A value of the section that was not taken, and what is used instead.
struct RefusedValue {
  std::wstring key;
  std::wstring value;
  std::wstring usedInstead;

  friend bool operator==(const RefusedValue&, const RefusedValue&) = default;
};

struct TeacherSettingsRead {
  TeacherSettings settings;
  std::vector<RefusedValue> refused;  // in the order of the keys
};

// "on" or "off" (also yes/no, true/false, 1/0), in any case.
std::optional<bool> ParseOnOff(std::wstring_view text);
// Seconds from 1 to 10 in steps of 0.5, with a point or a comma: "10", "2.5", "2,5", "3.0".
std::optional<std::int32_t> ParseHoldSeconds(std::wstring_view text);
// "10", "2.5": the shortest form ParseHoldSeconds reads back.
std::wstring FormatHoldSeconds(std::int32_t milliseconds);

// A missing or empty key is its default without a word; any other value the driver cannot take is its
// default and listed.
TeacherSettingsRead ReadTeacherSettings(SettingsStore& store);
// One save of every key: the section's four, the two gesture sizes.
std::vector<SettingWrite> TeacherSettingsWrites(const TeacherSettings& settings);

}  // namespace velno
