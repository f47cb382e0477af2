// What "/c" and "/d" tell the person who ran them.
#pragma once

#include <string>

namespace velno {

// What `command` ("/c" or "/d") did, in one line to the program's standard error when it has one (a
// script's redirection), else to the console it was started from, else in a message box when there is a
// desktop someone can see. Without any of them (a deployment tool in session 0) it goes to the event log,
// so that nothing ever waits on a window nobody can see.
void ShowUserMessage(const std::wstring& command, const std::wstring& text, bool failed);

}  // namespace velno
