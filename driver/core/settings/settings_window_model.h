// What the settings window shows and how its buttons change the settings, apart from any window: its
// pages, the words of each setting, and the steps of the press-and-hold time and the gesture sizes. A
// pen works the window: every change is a button, nothing is typed.
#pragma once

#include <array>
#include <string>

#include "settings/teacher_settings.h"

namespace velno {

// The window's pages, in the order of their buttons along its top.
enum class SettingsPage { PressAndHold, Gestures, Icon, Buttons };

struct PageTitle {
  SettingsPage page;
  const wchar_t* title;
};

inline constexpr std::array<PageTitle, 4> kSettingsPages{{
    {SettingsPage::PressAndHold, L"Press and hold"},
    {SettingsPage::Gestures, L"Gestures"},
    {SettingsPage::Icon, L"Icon"},
    {SettingsPage::Buttons, L"Buttons"},
}};

enum class GestureSize { Brush, Eraser };

// One step of the hold time, 0.5 s up (+1) or down (-1), kept from 1 to 10 s.
TeacherSettings StepHoldTime(TeacherSettings settings, int direction);
// One step of a gesture size along the ladder of square sides (1, 2, 3, 4, 5, 6, 8, 10, ... board points);
// the brush size stays below the eraser size. At an end the settings come back unchanged.
TeacherSettings StepGestureSize(TeacherSettings settings, GestureSize size, int direction);

// The side of the square a gesture size stands for, in whole board points: sqrt(threshold / 100).
int GestureSide(std::int32_t threshold);

std::wstring HoldWords(const TeacherSettings& settings);
std::wstring GesturesWords(const TeacherSettings& settings);
std::wstring GestureSizeWords(const TeacherSettings& settings, GestureSize size);
std::wstring IconWords(const TeacherSettings& settings);

}  // namespace velno
