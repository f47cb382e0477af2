#include "settings/settings_window_model.h"

#include <algorithm>
#include <cmath>

namespace velno {
namespace {

// The sides a gesture size steps through; a size between two of them steps to the next one.
constexpr std::array<int, 18> kGestureSides{1, 2, 3, 4, 5, 6, 8, 10, 12, 16, 20, 25, 32, 40, 50, 64, 80, 100};

// A side's threshold: the library keeps the area in hundredths of a square board point.
std::int32_t ThresholdOf(int side) { return side * side * 100; }

std::int32_t& SizeOf(TeacherSettings& settings, GestureSize size) {
  return size == GestureSize::Brush ? settings.gestureBrush : settings.gestureErase;
}

std::wstring SecondsText(std::int32_t milliseconds) {
  return FormatHoldSeconds(milliseconds) + (milliseconds == 1000 ? L" second" : L" seconds");
}

std::wstring Square(std::int32_t threshold) {
  const std::wstring side = std::to_wstring(GestureSide(threshold));
  return side + L" \u00D7 " + side;
}

}  // namespace

TeacherSettings StepHoldTime(TeacherSettings settings, int direction) {
  settings.holdMs = std::clamp(settings.holdMs + direction * kHoldStepMs, kHoldMinMs, kHoldMaxMs);
  return settings;
}

TeacherSettings StepGestureSize(TeacherSettings settings, GestureSize size, int direction) {
  const std::int32_t now = SizeOf(settings, size);
  std::int32_t next = now;
  if (direction > 0) {
    const auto side = std::find_if(kGestureSides.begin(), kGestureSides.end(), [&](int s) { return ThresholdOf(s) > now; });
    if (side != kGestureSides.end()) next = ThresholdOf(*side);
  } else {
    const auto side = std::find_if(kGestureSides.rbegin(), kGestureSides.rend(), [&](int s) { return ThresholdOf(s) < now; });
    if (side != kGestureSides.rend()) next = ThresholdOf(*side);
  }
  TeacherSettings stepped = settings;
  SizeOf(stepped, size) = next;
  return stepped.gestureBrush < stepped.gestureErase ? stepped : settings;
}

int GestureSide(std::int32_t threshold) {
  return static_cast<int>(std::lround(std::sqrt(static_cast<double>(static_cast<std::uint32_t>(threshold)) / 100.0)));
}

std::wstring HoldWords(const TeacherSettings& settings) {
  if (!settings.pressAndHold) return L"Off: holding the pen still does nothing more.";
  return L"Hold the pen still for " + SecondsText(settings.holdMs) + L", then lift it: a right click.";
}

std::wstring GesturesWords(const TeacherSettings& settings) {
  if (!settings.gestures) return L"Off: strokes only draw.";
  return L"On: how a stroke starts sends a shortcut to the program in front (the stroke still draws).";
}

std::wstring GestureSizeWords(const TeacherSettings& settings, GestureSize size) {
  if (size == GestureSize::Brush) {
    return L"Brush (Ctrl+Shift+F22): a stroke that starts within " + Square(settings.gestureBrush) +
           L" board points. The board is 32768 points across.";
  }
  return L"Eraser (Ctrl+Shift+F24): a stroke that starts wider than " + Square(settings.gestureErase) +
         L" board points. Between the two: Ctrl+Shift+F23.";
}

std::wstring IconWords(const TeacherSettings& settings) {
  if (settings.showIcon) return L"The whiteboard icon shows in the notification area, beside the clock.";
  return L"The icon is hidden. These settings stay in the Start menu: Velno, Velno settings.";
}

}  // namespace velno
