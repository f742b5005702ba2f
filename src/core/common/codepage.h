#pragma once
// The installation's shared files are 8-bit text in Windows-1252. Inside the program texts
// are UTF-8; conversion happens where a file is read or written.

#include <string>
#include <string_view>

namespace vantor {

// Every byte maps to a character; the five bytes Windows-1252 leaves undefined map to the
// C1 control characters of the same value, so nothing read is ever lost.
std::string Cp1252ToUtf8(std::string_view bytes);
// The same into out, replacing what it held but keeping its storage: for a reader that converts
// the same fields line after line. bytes must not lie inside out.
void AssignCp1252ToUtf8(std::string_view bytes, std::string& out);
// Characters without a Windows-1252 byte become "?"; malformed UTF-8 bytes are kept as
// their own byte value.
std::string Utf8ToCp1252(std::string_view utf8);

}  // namespace vantor
