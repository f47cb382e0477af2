#include "board_facts.h"

#include <algorithm>
#include <array>

namespace velno {
namespace {

// 6, 12 and 20 points give grids one column wider than high.
constexpr std::array<GridShape, 7> kGridShapes{{
    {4, 2, 2},
    {6, 2, 3},
    {9, 3, 3},
    {12, 3, 4},
    {16, 4, 4},
    {20, 4, 5},
    {25, 5, 5},
}};

constexpr std::uint32_t kAskAgainFlag = 0x80;  // above every target, within the library's 255

double TargetFraction(std::uint32_t k, std::int32_t pointsAlong) { return (30.0 / (pointsAlong - 1) * k + 1) / 32; }

wchar_t AsciiLower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

bool StartsWithIgnoringCase(std::wstring_view text, std::wstring_view prefix) {
  return text.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), text.begin(),
                    [](wchar_t a, wchar_t b) { return AsciiLower(a) == AsciiLower(b); });
}

}  // namespace

const GridShape* FindGridShape(std::uint32_t pointCount) {
  for (const GridShape& shape : kGridShapes) {
    if (shape.pointCount == pointCount) return &shape;
  }
  return nullptr;
}

TargetFractions TargetFractionsOf(const GridShape& shape, std::uint32_t p) {
  const auto rows = static_cast<std::uint32_t>(shape.pointRows);
  return {TargetFraction(p / rows, shape.pointCols), TargetFraction(p % rows, shape.pointRows)};
}

bool IsBoardPortName(std::wstring_view deviceName) {
  return StartsWithIgnoringCase(deviceName, L"\\Device\\silabser") ||
         StartsWithIgnoringCase(deviceName, L"\\Device\\slabser");
}

std::int32_t EncodeAdjustType(std::uint32_t pointCount, std::int32_t screenFlag) {
  const std::uint32_t flag = screenFlag == 0 ? 0 : screenFlag == 1 ? 1 : 2;
  return static_cast<std::int32_t>(pointCount | flag << 16);
}

AdjustType DecodeAdjustType(std::int32_t word) {
  const auto bits = static_cast<std::uint32_t>(word);
  return {bits & 0xFFFF, static_cast<std::int32_t>(bits >> 16)};
}

std::int32_t AskAgainIndex(std::uint32_t target) { return static_cast<std::int32_t>(kAskAgainFlag | target); }

std::uint32_t TargetAskedAgain(std::int32_t index) {
  const auto bits = static_cast<std::uint32_t>(index);
  return (bits & ~0x7Fu) == kAskAgainFlag ? bits & 0x7F : 0;
}

}  // namespace velno
