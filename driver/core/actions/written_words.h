// The words of what IT writes into config.ini by hand: blanks around them and the letters' case do not
// count.
#pragma once

#include <string_view>

namespace velno {

// `text` without the blanks and tabs at either end.
std::wstring_view Trimmed(std::wstring_view text);

// Whether `a` and `b` are the same word, whatever the case of their letters.
bool SameLetters(std::wstring_view a, std::wstring_view b);

}  // namespace velno
