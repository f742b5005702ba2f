#include "common/scramble.h"

#include "common/codepage.h"
#include "common/text.h"

namespace vantor {

namespace {

// Bits 0<->4 and 1<->3 exchanged; the exchange is its own inverse.
unsigned char Scramble(unsigned char c) {
    unsigned char kept = c & 0xE4;
    unsigned char out = kept;
    out |= static_cast<unsigned char>((c & 0x01) << 4);
    out |= static_cast<unsigned char>((c & 0x10) >> 4);
    out |= static_cast<unsigned char>((c & 0x02) << 2);
    out |= static_cast<unsigned char>((c & 0x08) >> 2);
    return out;
}

}  // namespace

std::string ScrambleText(const std::string& text, bool keepCase) {
    std::string bytes = Utf8ToCp1252(keepCase ? text : ToUpper(text));
    for (char& c : bytes) c = static_cast<char>(Scramble(static_cast<unsigned char>(c)));
    return Cp1252ToUtf8(bytes);
}

}  // namespace vantor
