#include "check_verdict.h"

#include <algorithm>
#include <cmath>

namespace adjust {
namespace {

constexpr double kMinimumTolerancePx = 10;

std::wstring Pixels(double value) { return std::to_wstring(std::lround(value)) + L" px"; }

std::wstring Tenths(double value) {
  const long tenths = std::lround(value * 10);
  return std::to_wstring(tenths / 10) + L"." + std::to_wstring(tenths % 10) + L" px";
}

}  // namespace

CheckVerdict JudgeCheck(const std::array<Pixel, kCheckCrosses>& crosses,
                        const std::array<Pixel, kCheckCrosses>& landed, std::int32_t monitorWidth) {
  CheckVerdict verdict{};
  for (std::uint32_t i = 0; i < kCheckCrosses; ++i) {
    verdict.errors[i] = std::hypot(landed[i].x - crosses[i].x, landed[i].y - crosses[i].y);
  }
  const auto worst = std::max_element(verdict.errors.begin(), verdict.errors.end());
  verdict.worst = static_cast<std::uint32_t>(worst - verdict.errors.begin());
  verdict.largest = *worst;
  double sum = 0;
  for (const double error : verdict.errors) sum += error;
  verdict.mean = sum / kCheckCrosses;
  verdict.tolerance = std::max(kMinimumTolerancePx, monitorWidth / 100.0);
  verdict.good = verdict.largest <= verdict.tolerance;
  return verdict;
}

std::wstring VerdictText(const CheckVerdict& verdict) {
  if (verdict.good) return L"Good: every touch landed within " + Pixels(verdict.tolerance) + L" of its cross.";
  return L"Not good: at cross " + std::to_wstring(verdict.worst + 1) + L" the pen landed " + Pixels(verdict.largest) +
         L" away. Please calibrate again.";
}

std::wstring FiguresText(const CheckVerdict& verdict) {
  std::wstring text = L"Largest error " + Pixels(verdict.largest) + L", mean " + Tenths(verdict.mean) + L". Crosses:";
  for (std::uint32_t i = 0; i < kCheckCrosses; ++i) {
    text += L" " + std::to_wstring(i + 1) + L": " + Pixels(verdict.errors[i]) + (i + 1 < kCheckCrosses ? L"," : L".");
  }
  return text;
}

std::wstring CrossPromptText(std::uint32_t i) {
  return L"Check: touch the centre of cross " + std::to_wstring(i + 1) + L" of " + std::to_wstring(kCheckCrosses) +
         L" with the pen and lift it.";
}

}  // namespace adjust
