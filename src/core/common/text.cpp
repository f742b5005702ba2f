#include "common/text.h"

#include <algorithm>
#include <cstdint>

namespace vantor {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Decodes one UTF-8 sequence at text[i]; advances i. Invalid bytes decode as themselves.
uint32_t Decode(std::string_view text, size_t& i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    if (extra == 0 || i + extra >= text.size()) {
        ++i;
        return c;
    }
    uint32_t cp = c & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
        unsigned char cc = static_cast<unsigned char>(text[i + k]);
        if ((cc & 0xC0) != 0x80) {
            ++i;
            return c;
        }
        cp = (cp << 6) | (cc & 0x3F);
    }
    i += extra + 1;
    return cp;
}

void Encode(uint32_t cp, std::string& out) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

uint32_t UpperOf(uint32_t cp) {
    if (cp >= 'a' && cp <= 'z') return cp - 32;
    if ((cp >= 0xE0 && cp <= 0xFE && cp != 0xF7)) return cp - 32;
    if (cp == 0xFF) return 0x178;
    if (cp == 0x161 || cp == 0x153 || cp == 0x17E) return cp - 1;
    return cp;
}

uint32_t LowerOf(uint32_t cp) {
    if (cp >= 'A' && cp <= 'Z') return cp + 32;
    if ((cp >= 0xC0 && cp <= 0xDE && cp != 0xD7)) return cp + 32;
    if (cp == 0x178) return 0xFF;
    if (cp == 0x160 || cp == 0x152 || cp == 0x17D) return cp + 1;
    return cp;
}

template <typename F>
std::string MapCase(std::string_view text, F f) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out += static_cast<char>(f(c));
            ++i;
            continue;
        }
        size_t start = i;
        uint32_t cp = Decode(text, i);
        if (i - start == 1 && cp >= 0x80) {
            out += text[start];  // stray byte: keep as it is
        } else {
            Encode(f(cp), out);
        }
    }
    return out;
}

}  // namespace

std::string TrimLeft(std::string_view text) {
    size_t b = 0;
    while (b < text.size() && IsBlank(text[b])) ++b;
    return std::string(text.substr(b));
}

std::string TrimRight(std::string_view text) {
    size_t e = text.size();
    while (e > 0 && IsBlank(text[e - 1])) --e;
    return std::string(text.substr(0, e));
}

std::string Trim(std::string_view text) { return TrimLeft(TrimRight(text)); }

std::string ToUpper(std::string_view text) { return MapCase(text, UpperOf); }
std::string ToLower(std::string_view text) { return MapCase(text, LowerOf); }

int CompareNoCase(std::string_view a, std::string_view b) {
    std::string ua = ToUpper(a), ub = ToUpper(b);
    return ua < ub ? -1 : ua > ub ? 1 : 0;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        // Case changes can alter the byte length only for a few letters (ÿ/Ÿ); fall back.
        return CompareNoCase(a, b) == 0;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 0x80 || y >= 0x80) return CompareNoCase(a, b) == 0;
        if (UpperOf(x) != UpperOf(y)) return false;
    }
    return true;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           EqualsNoCase(text.substr(text.size() - suffix.size()), suffix);
}

size_t FindNoCase(std::string_view text, std::string_view needle, size_t from) {
    std::string ut = ToUpper(text), un = ToUpper(needle);
    return ut.find(un, from);
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    if (from.empty()) return std::string(text);
    std::string out;
    size_t pos = 0;
    while (true) {
        size_t hit = text.find(from, pos);
        if (hit == std::string_view::npos) break;
        out.append(text.substr(pos, hit - pos));
        out.append(to);
        pos = hit + from.size();
    }
    out.append(text.substr(pos));
    return out;
}

std::vector<std::string> Split(std::string_view text, char delimiter) {
    std::vector<std::string> parts;
    size_t pos = 0;
    while (true) {
        size_t hit = text.find(delimiter, pos);
        if (hit == std::string_view::npos) {
            parts.emplace_back(text.substr(pos));
            return parts;
        }
        parts.emplace_back(text.substr(pos, hit - pos));
        pos = hit + 1;
    }
}

std::string LeftOf(std::string_view text, long count) {
    if (count <= 0) return "";
    return std::string(text.substr(0, static_cast<size_t>(count)));
}

std::string RightOf(std::string_view text, long count) {
    if (count <= 0) return "";
    size_t n = std::min(text.size(), static_cast<size_t>(count));
    return std::string(text.substr(text.size() - n));
}

std::string MidOf(std::string_view text, long start1, long count) {
    if (start1 < 1) start1 = 1;
    size_t start = static_cast<size_t>(start1 - 1);
    if (start >= text.size()) return "";
    if (count < 0) return std::string(text.substr(start));
    return std::string(text.substr(start, static_cast<size_t>(count)));
}

std::string PadRight(std::string_view text, size_t width) {
    std::string out(text.substr(0, std::min(width, text.size())));
    out.resize(width, ' ');
    return out;
}

size_t CharacterCount(std::string_view utf8) {
    size_t n = 0;
    for (size_t i = 0; i < utf8.size();) {
        Decode(utf8, i);
        ++n;
    }
    return n;
}

std::string FirstCharacters(std::string_view utf8, size_t count) {
    size_t i = 0, n = 0;
    while (i < utf8.size() && n < count) {
        Decode(utf8, i);
        ++n;
    }
    return std::string(utf8.substr(0, i));
}

std::string NextField(const std::string& text, long start, const std::string& delimiter,
                      long& foundAt, bool trim, bool skipBlanks) {
    if (start < 1) start = 1;
    if (skipBlanks) {
        while (start <= static_cast<long>(text.size()) &&
               (text[start - 1] == ' ' || text[start - 1] == '\t'))
            ++start;
    }
    if (start > static_cast<long>(text.size())) {
        foundAt = 0;
        return "";
    }
    // An empty delimiter would be found at the start every time and never move a walk on.
    size_t hit = delimiter.empty() ? std::string::npos
                                   : text.find(delimiter, static_cast<size_t>(start - 1));
    foundAt = hit == std::string::npos ? 0 : static_cast<long>(hit) + 1;
    std::string field = foundAt == 0 ? text.substr(start - 1)
                                     : text.substr(start - 1, static_cast<size_t>(foundAt - start));
    return trim ? Trim(field) : field;
}

}  // namespace vantor
