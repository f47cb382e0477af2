// What "/c" and "/d" tell the person who ran them.
#pragma once

#include <string>

namespace velno {

// One line to the program's standard error when it has one (a script's redirection), else to the console
// it was started from, else in a message box: the program has no window of its own.
void ShowUserMessage(const std::wstring& text, bool failed);

}  // namespace velno
