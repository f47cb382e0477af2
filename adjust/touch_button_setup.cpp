#include "touch_button_setup.h"

#include "resource_ids.h"

namespace adjust {

std::uint32_t PrintedButtonCountForControl(int controlId) {
  const int count = controlId - IDC_PRINTED_BUTTONS_1 + 1;
  return count >= 1 && count <= static_cast<int>(kMaxPrintedButtons) ? static_cast<std::uint32_t>(count) : 0;
}

std::wstring TouchButtonPrompt(std::uint32_t number, std::uint32_t count, const std::wstring& actionWords) {
  std::wstring prompt = L"Touch printed button " + std::to_wstring(number) + L" of " + std::to_wstring(count);
  return actionWords.empty() ? prompt : prompt + L": it will " + actionWords;
}

std::wstring PlaceAlreadyTakenText(std::uint32_t number) {
  return L"That place is already set up as another button. Lift the pen and touch printed button " +
         std::to_wstring(number) + L".";
}

std::wstring TouchButtonCountdownText(std::uint32_t seconds, std::uint32_t number) {
  return L"Closing in " + std::to_wstring(seconds) + L" s, nothing changed: touch printed button " +
         std::to_wstring(number) + L" to go on";
}

std::wstring TouchButtonsSetUpText(std::uint32_t count) {
  return std::to_wstring(count) + (count == 1 ? L" touch button set up" : L" touch buttons set up");
}

}  // namespace adjust
