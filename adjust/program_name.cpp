#include "program_name.h"

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

}  // namespace

PassList PassesForProgramPath(std::wstring_view programPath) {
  for (const ModeWord& mode : kModeWords) {
    if (programPath.find(mode.word) != std::wstring_view::npos) return mode.passes;
  }
  return {ScreenKind::None, ScreenKind::None};
}

}  // namespace adjust
