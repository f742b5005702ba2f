#include "common/codepage.h"

#include <cstdint>

namespace vantor {

namespace {

// Code points of the bytes 0x80..0x9F; the undefined ones map to themselves.
constexpr uint16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(uint32_t cp, std::string& out) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

int ByteOf(uint32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == cp) return 0x80 + i;
    return -1;
}

}  // namespace

std::string Cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    AssignCp1252ToUtf8(bytes, out);
    return out;
}

void AssignCp1252ToUtf8(std::string_view bytes, std::string& out) {
    out.clear();
    out.reserve(bytes.size() + bytes.size() / 8);
    // Texts are nearly all plain ASCII: runs of it are copied whole.
    size_t i = 0;
    while (i < bytes.size()) {
        size_t run = i;
        while (run < bytes.size() && static_cast<unsigned char>(bytes[run]) < 0x80) ++run;
        out.append(bytes.data() + i, run - i);
        if (run == bytes.size()) break;
        unsigned char c = static_cast<unsigned char>(bytes[run]);
        AppendUtf8(c < 0xA0 ? kHigh[c - 0x80] : c, out);
        i = run + 1;
    }
}

std::string Utf8ToCp1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        bool valid = extra > 0 && i + extra < utf8.size();
        uint32_t cp = c & (0x3F >> extra);
        for (int k = 1; valid && k <= extra; ++k) {
            unsigned char cc = static_cast<unsigned char>(utf8[i + k]);
            if ((cc & 0xC0) != 0x80) valid = false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if (!valid) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        int b = ByteOf(cp);
        out += b < 0 ? '?' : static_cast<char>(b);
        i += extra + 1;
    }
    return out;
}

}  // namespace vantor
