#pragma once
// The password scramble.

#include <string>

namespace vantor {

// The fixed transformation of passwords before they are stored or compared: capitals first
// (unless keepCase), then bits 0<->4 and 1<->3 of every Windows-1252 byte exchanged. The
// result is the UTF-8 text of the exchanged bytes, so it stores in a text column; applying it
// again gives back the (capitalised) text.
std::string ScrambleText(const std::string& text, bool keepCase = false);

}  // namespace vantor
