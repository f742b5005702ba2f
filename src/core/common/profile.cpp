#include "common/profile.h"

#include <cstdio>
#include <filesystem>
#include <optional>
#include <system_error>

#include "common/codepage.h"
#include "common/ini_document.h"
#include "common/paths.h"
#include "common/platform_dirs.h"
#include "common/text.h"

namespace vantor {

namespace {

bool IsBareName(const std::string& file) {
    return file.find('/') == std::string::npos && file.find('\\') == std::string::npos;
}

// A line break inside a name or value would split its line in two and corrupt the file.
bool HasLineBreak(const std::string& text) {
    return text.find('\n') != std::string::npos || text.find('\r') != std::string::npos;
}

std::string Unquoted(std::string value) {
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    return value;
}

}  // namespace

std::string ProfilePath(const std::string& file) {
    if (file.empty()) return "";
    if (IsBareName(file)) return ResolvePath(JoinPath(WindowsDirectory(), file));
    return ResolvePath(file);
}

void WarnOfUnreadableSettingsFile(const std::string& file) {
    const std::string path = ProfilePath(file);
    if (path.empty()) return;
    if (std::optional<std::string> why = UnreadableSettingsFile(path)) {
        std::fprintf(stderr,
                     "warning: The settings file %s was not read (%s); its defaults are used.\n",
                     path.c_str(), why->c_str());
    }
}

std::string GetProfileString(const std::string& file, const std::string& section,
                             const std::string& key, const std::string& defaultValue) {
    IniDocument doc;
    std::string path = ProfilePath(file);
    if (path.empty() || !doc.Load(path)) return defaultValue;
    auto raw = doc.RawValue(section, key);
    if (!raw) return defaultValue;
    return Unquoted(Trim(Cp1252ToUtf8(*raw)));
}

long GetProfileInt(const std::string& file, const std::string& section, const std::string& key,
                   long defaultValue) {
    std::string value = GetProfileString(file, section, key, "");
    size_t i = 0;
    bool negative = false;
    if (i < value.size() && (value[i] == '+' || value[i] == '-')) negative = value[i++] == '-';
    if (i >= value.size() || value[i] < '0' || value[i] > '9') return defaultValue;
    // 32 bits hold every value the other programs write (colours as unsigned numbers, counts
    // as signed ones). A longer number is no setting anyone made: it reads as the default
    // rather than as some value cut down from it.
    constexpr long long kMostPositive = 4294967295LL;
    constexpr long long kMostNegative = 2147483648LL;
    long long n = 0;
    for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
        n = n * 10 + (value[i] - '0');
        if (n > kMostPositive) return defaultValue;
    }
    if (negative && n > kMostNegative) return defaultValue;
    return static_cast<long>(negative ? -n : n);
}

bool WriteProfileString(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& value) {
    if (Trim(section).empty() || Trim(key).empty() || HasLineBreak(section) || HasLineBreak(key) ||
        HasLineBreak(value) || key.find('=') != std::string::npos ||
        section.find(']') != std::string::npos)
        return false;
    std::string path = ProfilePath(file);
    if (path.empty()) return false;
    if (IsBareName(file)) {
        // The Windows directory of a fresh installation may not exist yet.
        std::error_code ec;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    }
    IniDocument doc;
    if (!doc.Load(path)) return false;
    doc.SetRawValue(section, key, Utf8ToCp1252(value));
    return doc.Save(path);
}

bool DeleteProfileKey(const std::string& file, const std::string& section, const std::string& key) {
    std::string path = ProfilePath(file);
    if (path.empty()) return false;
    IniDocument doc;
    if (!doc.Load(path)) return false;
    if (!doc.RemoveKey(section, key)) return true;
    return doc.Save(path);
}

std::vector<std::string> GetProfileKeys(const std::string& file, const std::string& section) {
    IniDocument doc;
    std::string path = ProfilePath(file);
    if (path.empty() || !doc.Load(path)) return {};
    return doc.Keys(section);
}

}  // namespace vantor
