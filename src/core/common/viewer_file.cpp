#include "common/viewer_file.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "common/codepage.h"
#include "common/files.h"
#include "common/paths.h"
#include "common/problem_report.h"

namespace vantor {

namespace {

// Destinations whose text is never shown: font and colour tables, style sheets, document
// information, pictures and every "{\*\..." group a reader may ignore.
bool HiddenDestination(const std::string& word) {
    static const char* const kHidden[] = {
        "fonttbl", "colortbl",  "stylesheet",        "info",     "pict", "header", "footer",
        "object",  "listtable", "listoverridetable", "generator"};
    for (const char* hidden : kHidden)
        if (word == hidden) return true;
    return false;
}

void AppendCodePoint(std::string& out, long codePoint) {
    if (codePoint < 0) codePoint += 65536;  // the format writes code points above 32767 negative
    const auto c = static_cast<unsigned long>(codePoint);
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

std::string RtfToPlainText(std::string_view rtf) {
    std::string out;
    std::string bytes;  // 8-bit text waiting for its conversion from the code page
    auto flush = [&] {
        out += Cp1252ToUtf8(bytes);
        bytes.clear();
    };
    // For each open group: whether its text is hidden.
    std::vector<bool> hidden{false};
    int skipAfterUnicode = 0;
    size_t i = 0;
    const size_t n = rtf.size();
    while (i < n) {
        const char c = rtf[i];
        if (c == '{') {
            hidden.push_back(hidden.back());
            ++i;
            continue;
        }
        if (c == '}') {
            if (hidden.size() > 1) hidden.pop_back();
            ++i;
            continue;
        }
        if (c == '\r' || c == '\n') {
            ++i;
            continue;
        }
        if (c != '\\') {
            if (skipAfterUnicode > 0) {
                --skipAfterUnicode;
            } else if (!hidden.back()) {
                bytes += c;
            }
            ++i;
            continue;
        }
        // A control symbol or word.
        ++i;
        if (i >= n) break;
        const char symbol = rtf[i];
        if (symbol == '\\' || symbol == '{' || symbol == '}') {
            if (!hidden.back()) bytes += symbol;
            ++i;
            continue;
        }
        if (symbol == '*') {
            hidden.back() = true;
            ++i;
            continue;
        }
        if (symbol == '\'') {
            if (i + 2 < n) {
                const std::string hex(rtf.substr(i + 1, 2));
                char* end = nullptr;
                const long value = std::strtol(hex.c_str(), &end, 16);
                if (skipAfterUnicode > 0) {
                    --skipAfterUnicode;
                } else if (!hidden.back() && end == hex.c_str() + 2) {
                    bytes += static_cast<char>(value);
                }
            }
            i += 3;
            continue;
        }
        if (!std::isalpha(static_cast<unsigned char>(symbol))) {
            if (symbol == '~' && !hidden.back()) bytes += ' ';
            ++i;
            continue;
        }
        std::string word;
        while (i < n && std::isalpha(static_cast<unsigned char>(rtf[i]))) word += rtf[i++];
        std::string number;
        if (i < n && (rtf[i] == '-' || std::isdigit(static_cast<unsigned char>(rtf[i])))) {
            number += rtf[i++];
            while (i < n && std::isdigit(static_cast<unsigned char>(rtf[i]))) number += rtf[i++];
        }
        if (i < n && rtf[i] == ' ') ++i;  // the delimiter belongs to the word
        if (HiddenDestination(word)) {
            hidden.back() = true;
        } else if (hidden.back()) {
            // nothing of a hidden group is shown
        } else if (word == "par" || word == "line") {
            bytes += '\n';
        } else if (word == "tab") {
            bytes += '\t';
        } else if (word == "u" && !number.empty()) {
            flush();
            AppendCodePoint(out, std::strtol(number.c_str(), nullptr, 10));
            skipAfterUnicode = 1;
        }
    }
    flush();
    return out;
}

std::string ReadViewerText(const std::string& path) {
    if (path.empty() || FileLength(path) <= 0) return "";
    std::ifstream file(ResolvePath(path), std::ios::binary);
    if (!file) return "";
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (bytes.rfind("{\\rtf", 0) == 0) return RtfToPlainText(bytes);
    std::string text;
    text.reserve(bytes.size());
    for (char c : bytes)
        if (c != '\r') text += c;
    return Cp1252ToUtf8(text);
}

int SaveViewerText(const std::string& path, const std::string& text) {
    std::string bytes;
    bytes.reserve(text.size() + text.size() / 32);
    for (char c : Utf8ToCp1252(text)) {
        if (c == '\n') bytes += '\r';
        bytes += c;
    }
    std::FILE* file = OpenFileForWriting(NativePath(path), false);
    if (!file) return ErrorNumberFromErrno(errno);
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const int writeErrno = errno;
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) return ErrorNumberFromErrno(written ? errno : writeErrno);
    return 0;
}

std::vector<std::string> ViewerFolderNames(const std::string& folder,
                                           const std::string& extension) {
    std::vector<std::string> names;
    for (const std::string& file : ListFiles(folder, "*." + extension))
        names.push_back(BaseNameOf(file));
    return names;
}

}  // namespace vantor
