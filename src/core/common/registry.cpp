#include "common/registry.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
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

const char kStringPrefix[] = "str:";
const char kNumberPrefix[] = "dword:";
const char kBytesPrefix[] = "hex:";

std::string RegistryFile() {
    return ResolvePath(JoinPath(WindowsDirectory(), "registry.ini"));
}

std::string SectionOf(RegistryRoot root, const std::string& subKey) {
    std::string key = subKey;
    while (!key.empty() && (key.front() == '\\' || key.front() == '/')) key.erase(0, 1);
    while (!key.empty() && (key.back() == '\\' || key.back() == '/')) key.pop_back();
    std::string rootName =
        root == RegistryRoot::LocalMachine ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
    return key.empty() ? rootName : rootName + "\\" + key;
}

enum class ValueType { String, Number, Bytes };

struct StoredValue {
    ValueType type = ValueType::String;
    std::string data;  // the 8-bit bytes the value holds
    bool valid = true;
};

bool StartsWith(const std::string& text, const char* prefix) {
    return StartsWithNoCase(text, prefix);
}

// Decodes one stored line's value. A value without a type prefix (typed in by hand) is a
// string value.
StoredValue Decode(const std::string& raw) {
    StoredValue value;
    std::string text = TrimLeft(raw);
    if (StartsWith(text, kStringPrefix)) {
        value.data = text.substr(sizeof kStringPrefix - 1);
        // The line end was never part of the value, but trailing blanks of a text are.
        return value;
    }
    if (StartsWith(text, kNumberPrefix)) {
        value.type = ValueType::Number;
        std::string digits = Trim(text.substr(sizeof kNumberPrefix - 1));
        errno = 0;
        char* end = nullptr;
        long long n = std::strtoll(digits.c_str(), &end, 0);
        if (digits.empty() || *end != '\0' || errno != 0 || n < INT32_MIN || n > UINT32_MAX) {
            value.valid = false;
            return value;
        }
        auto u = static_cast<uint32_t>(n);
        for (int i = 0; i < 4; ++i) value.data += static_cast<char>((u >> (8 * i)) & 0xFF);
        return value;
    }
    if (StartsWith(text, kBytesPrefix)) {
        value.type = ValueType::Bytes;
        for (const auto& part : Split(text.substr(sizeof kBytesPrefix - 1), ',')) {
            std::string hex = Trim(part);
            if (hex.empty()) continue;
            char* end = nullptr;
            long b = std::strtol(hex.c_str(), &end, 16);
            if (*end != '\0' || b < 0 || b > 255) {
                value.valid = false;
                return value;
            }
            value.data += static_cast<char>(b);
        }
        return value;
    }
    value.data = raw;
    return value;
}

std::optional<StoredValue> Lookup(RegistryRoot root, const std::string& subKey,
                                  const std::string& valueName) {
    IniDocument doc;
    if (!doc.Load(RegistryFile())) return std::nullopt;
    auto raw = doc.RawValue(SectionOf(root, subKey), valueName);
    if (!raw) return std::nullopt;
    return Decode(*raw);
}

void Store(RegistryRoot root, const std::string& subKey, const std::string& valueName,
           const std::string& rawValue) {
    std::string path = RegistryFile();
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    IniDocument doc;
    if (!doc.Load(path)) return;
    doc.SetRawValue(SectionOf(root, subKey), valueName, rawValue);
    doc.Save(path);
}

// Settings at their default are not stored: the value goes, the key stays.
void Remove(RegistryRoot root, const std::string& subKey, const std::string& valueName) {
    std::string path = RegistryFile();
    IniDocument doc;
    if (!doc.Load(path)) return;
    if (doc.RemoveKey(SectionOf(root, subKey), valueName)) doc.Save(path);
}

bool UsableName(const std::string& valueName) {
    return !Trim(valueName).empty() && valueName.find('=') == std::string::npos &&
           valueName.find('\n') == std::string::npos && valueName.find('\r') == std::string::npos;
}

}  // namespace

std::string ReadRegistryString(RegistryRoot root, const std::string& subKey,
                               const std::string& valueName, const std::string& defaultValue) {
    auto value = Lookup(root, subKey, valueName);
    if (!value || !value->valid) return defaultValue;
    if (value->type != ValueType::String) return "";
    std::string text = value->data.substr(0, value->data.find('\0'));
    return Cp1252ToUtf8(text);
}

int32_t ReadRegistryNumber(RegistryRoot root, const std::string& subKey,
                           const std::string& valueName, int32_t defaultValue) {
    auto value = Lookup(root, subKey, valueName);
    if (!value || !value->valid) return defaultValue;
    // The value's bytes land in a 4-byte number that starts as 0; more than 4 do not fit.
    if (value->data.size() > 4) return defaultValue;
    uint32_t n = 0;
    for (size_t i = 0; i < value->data.size(); ++i)
        n |= static_cast<uint32_t>(static_cast<unsigned char>(value->data[i])) << (8 * i);
    return static_cast<int32_t>(n);
}

void WriteRegistryString(RegistryRoot root, const std::string& subKey, const std::string& valueName,
                         const std::string& value, const std::string& defaultValue) {
    if (!UsableName(valueName)) return;
    if (value == defaultValue) {
        Remove(root, subKey, valueName);
        return;
    }
    // A line break would end the stored line early; such a text cannot be kept in this file.
    if (value.find('\n') != std::string::npos || value.find('\r') != std::string::npos) return;
    Store(root, subKey, valueName, kStringPrefix + Utf8ToCp1252(value));
}

void WriteRegistryNumber(RegistryRoot root, const std::string& subKey, const std::string& valueName,
                         int32_t value, int32_t defaultValue) {
    if (!UsableName(valueName)) return;
    if (value == defaultValue) {
        Remove(root, subKey, valueName);
        return;
    }
    Store(root, subKey, valueName, kNumberPrefix + std::to_string(value));
}

bool RegistryKeyExists(RegistryRoot root, const std::string& subKey) {
    IniDocument doc;
    if (!doc.Load(RegistryFile())) return false;
    const std::string wanted = SectionOf(root, subKey);
    // A key holding no values of its own still exists when a key below it does: creating
    // "A\B\C" creates "A" and "A\B" on the way.
    for (const std::string& section : doc.Sections())
        if (EqualsNoCase(section, wanted) || StartsWithNoCase(section, wanted + "\\")) return true;
    return false;
}

}  // namespace vantor
