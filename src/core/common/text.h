#pragma once
// Small text helpers used everywhere. Texts are UTF-8 inside the program.

#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// Removes blanks (spaces and tabs) at both ends, as the runtime's Trim does with spaces.
std::string Trim(std::string_view text);
std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);
// Capitals / small letters. Letters of the installation's 8-bit code page (é, ü, ...) change
// case too, so that names compare the way they do on the station's workstations.
std::string ToUpper(std::string_view text);
std::string ToLower(std::string_view text);
// Comparison without regard to letter case.
bool EqualsNoCase(std::string_view a, std::string_view b);
int CompareNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
bool EndsWithNoCase(std::string_view text, std::string_view suffix);
// Position (0-based) of needle in text ignoring case, or npos.
size_t FindNoCase(std::string_view text, std::string_view needle, size_t from = 0);
// Replaces every occurrence of from with to.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);
std::vector<std::string> Split(std::string_view text, char delimiter);
// The runtime's Left/Mid/Right on byte positions (1-based start for Mid), never out of range.
std::string LeftOf(std::string_view text, long count);
std::string RightOf(std::string_view text, long count);
std::string MidOf(std::string_view text, long start1, long count = -1);
// Text padded with spaces on the right (or cut) to exactly width characters.
std::string PadRight(std::string_view text, size_t width);
// Number of characters (code points) of a UTF-8 text.
size_t CharacterCount(std::string_view utf8);
// The first count characters (code points) of a UTF-8 text.
std::string FirstCharacters(std::string_view utf8, size_t count);

// The field that begins at start (1-based, below 1 counts as 1) and ends before the next
// delimiter, whose position goes to foundAt (0 when there is none: the field runs to the end).
// skipBlanks begins the field at the first non-blank at or after start ("" when none); trim
// trims it. Walk a line by passing foundAt + 1 as the next start.
std::string NextField(const std::string& text, long start, const std::string& delimiter,
                      long& foundAt, bool trim, bool skipBlanks);

}  // namespace vantor
