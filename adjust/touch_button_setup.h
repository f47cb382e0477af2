// Setting up the touch buttons printed on the board's frame with the pen: how many there are, then one
// screen per button while the driver measures where the pen touches it (a touch-button run through the
// library, shown and answered as the calibration's targets are). What those screens say lives here.
#pragma once

#include <cstdint>
#include <string>

namespace adjust {

inline constexpr std::uint32_t kMaxPrintedButtons = 20;

// The count a button of the touch-button chooser stands for (1 to 20); 0 for any other control.
std::uint32_t PrintedButtonCountForControl(int controlId);

// "Touch printed button 2 of 6: it will Undo"; without ": it will ..." when no words are known.
std::wstring TouchButtonPrompt(std::uint32_t number, std::uint32_t count, const std::wstring& actionWords);

// Shown when the driver refused a touch on a place already set up in this run, until the button is taken.
std::wstring PlaceAlreadyTakenText(std::uint32_t number);

// "Closing in 9 s: touch printed button 2 to go on" during the last seconds of a run nobody touches.
std::wstring TouchButtonCountdownText(std::uint32_t seconds, std::uint32_t number);

// "6 touch buttons set up"
std::wstring TouchButtonsSetUpText(std::uint32_t count);

}  // namespace adjust
