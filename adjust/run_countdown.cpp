#include "run_countdown.h"

namespace adjust {

std::optional<std::uint32_t> CountdownSeconds(std::uint32_t msSinceProgress) {
  if (msSinceProgress < kRunTimeoutMs - kCountdownMs || msSinceProgress >= kRunTimeoutMs) return std::nullopt;
  return (kRunTimeoutMs - msSinceProgress + 999) / 1000;
}

std::wstring CountdownText(std::uint32_t seconds) {
  return L"Closing in " + std::to_wstring(seconds) + L" s: touch the red target to go on";
}

std::wstring RefusedGridText() {
  return L"These touches did not make a usable calibration, so the previous one is kept. "
         L"Please start again at the first target.";
}

std::wstring TouchAgainText() {
  return L"One touch was not on its target. Please touch the red target again, then go on as before.";
}

}  // namespace adjust
