// The tool's mode comes from its own program name: one of five words in the program path says which
// screens the two calibration passes cover.
#pragma once

#include <array>
#include <string_view>

namespace adjust {

// What one calibration pass covers.
enum class ScreenKind { None = 0, Standard = 1, Extended = 2 };

using PassList = std::array<ScreenKind, 2>;

// The passes for a program path as the command line gives it: the first of the five words found in it
// (case-sensitively, anywhere in the path, tried in their fixed order) decides; no word, no pass.
PassList PassesForProgramPath(std::wstring_view programPath);

// Whether a word after the program path asks for the check of the saved calibration ("/check", in any
// case); under any of the five names, it then checks instead of calibrating.
bool IsCheckSwitch(std::wstring_view word);

// Whether a word after the program path asks for the set-up of the touch buttons ("/buttons", in any
// case); under any of the five names, it then sets them up instead of calibrating.
bool IsTouchButtonSwitch(std::wstring_view word);

}  // namespace adjust
