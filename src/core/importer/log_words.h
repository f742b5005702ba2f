#pragma once
// Words of a scheduler log line, taken the way the scheduler writes them: separated by
// single blanks, with any run of leading blanks skipped.

#include <string>
#include <string_view>

namespace vantor {

// The word that begins at the first non-blank character at or after start1 (1-based) and ends
// before the next blank. blankAt receives that blank's position (1-based), or 0 when the word
// runs to the end of the text. An empty word when only blanks follow.
std::string WordAt(std::string_view text, size_t start1, size_t& blankAt);

}  // namespace vantor
