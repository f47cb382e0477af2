#include "program_name.h"

#include <algorithm>
#include <cwctype>

#include "tool_programs.h"

namespace adjust {
namespace {

struct ModeWord {
  std::wstring_view word;
  PassList passes;
};

// Tried in this order; none of the words contains another, so the order decides only between a word
// in a folder name and another in the file name.
constexpr std::array<ModeWord, 5> kModeWords{{
    {L"Adjust_standard_double", {ScreenKind::Standard, ScreenKind::Standard}},
    {L"Adjust_extend_double", {ScreenKind::Extended, ScreenKind::Extended}},
    {L"Adjust_standard_extend_double", {ScreenKind::Standard, ScreenKind::Extended}},
    {L"Adjust_single_extend", {ScreenKind::Extended, ScreenKind::None}},
    {L"Adjust_single_standard", {ScreenKind::Standard, ScreenKind::None}},
}};

bool SameSwitch(std::wstring_view word, std::wstring_view expected) {
  return std::equal(word.begin(), word.end(), expected.begin(), expected.end(), [](wchar_t a, wchar_t b) {
    return std::towlower(static_cast<wint_t>(a)) == std::towlower(static_cast<wint_t>(b));
  });
}

}  // namespace

PassList PassesForProgramPath(std::wstring_view programPath) {
  for (const ModeWord& mode : kModeWords) {
    if (programPath.find(mode.word) != std::wstring_view::npos) return mode.passes;
  }
  return {ScreenKind::None, ScreenKind::None};
}

bool IsCheckSwitch(std::wstring_view word) { return SameSwitch(word, velno::kCheckCalibrationSwitch); }

bool IsTouchButtonSwitch(std::wstring_view word) { return SameSwitch(word, velno::kTouchButtonSetupSwitch); }

}  // namespace adjust
