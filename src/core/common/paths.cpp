#include "common/paths.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "common/text.h"

namespace fs = std::filesystem;

namespace vantor {

namespace {

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

// The entry of a directory whose name matches without regard to case; "" when none does.
// An exact match is checked by the caller first, so this only runs for misspelt case.
std::string FindEntryNoCase(const std::string& directory, const std::string& name) {
    std::error_code ec;
    fs::directory_iterator it(directory.empty() ? "." : directory, ec);
    if (ec) return "";
    std::vector<std::string> matches;
    for (const auto& entry : it) {
        std::string candidate = entry.path().filename().string();
        if (EqualsNoCase(candidate, name)) matches.push_back(candidate);
    }
    if (matches.empty()) return "";
    // Several spellings of one name can coexist here; pick one the same way every time.
    std::sort(matches.begin(), matches.end());
    return matches.front();
}

bool Exists(const std::string& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec)) && !ec;
}

// Case-insensitive match of UTF-8 texts where "?" stands for one character.
bool MatchFrom(const std::string& p, size_t pi, const std::string& n, size_t ni) {
    while (pi < p.size()) {
        if (p[pi] == '*') {
            while (pi < p.size() && p[pi] == '*') ++pi;
            if (pi == p.size()) return true;
            for (size_t k = ni; k <= n.size(); ++k)
                if (MatchFrom(p, pi, n, k)) return true;
            return false;
        }
        if (ni >= n.size()) return false;
        if (p[pi] == '?') {
            ++pi;
            ++ni;
            while (ni < n.size() && (static_cast<unsigned char>(n[ni]) & 0xC0) == 0x80) ++ni;
            continue;
        }
        if (p[pi] != n[ni]) return false;
        ++pi;
        ++ni;
    }
    return ni == n.size();
}

enum class EntryKind { Files, Directories, Any };

std::vector<std::string> ListEntries(const std::string& directory, EntryKind kind,
                                     const std::string& pattern) {
    std::vector<std::string> names;
    std::error_code ec;
    std::string dir = ResolvePath(directory.empty() ? "." : directory);
    fs::directory_iterator it(dir, ec);
    if (ec) return names;
    for (auto end = fs::directory_iterator(); it != end; it.increment(ec)) {
        if (ec) break;
        if (kind != EntryKind::Any) {
            std::error_code sec;
            auto status = it->status(sec);  // follows links, as the shell's listing does
            if (sec) continue;
            bool isDirectory = fs::is_directory(status);
            if (kind == EntryKind::Directories ? !isDirectory : !fs::is_regular_file(status))
                continue;
        }
        std::string name = it->path().filename().string();
        if (!pattern.empty() && !WildcardMatch(pattern, name)) continue;
        names.push_back(name);
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        int c = CompareNoCase(a, b);
        return c != 0 ? c < 0 : a < b;
    });
    return names;
}

}  // namespace

std::string NativePath(const std::string& path) {
    std::string out = path;
    std::replace(out.begin(), out.end(), '\\', '/');
    return out;
}

std::string ResolvePath(const std::string& path) {
    std::string native = NativePath(path);
    if (native.empty() || Exists(native)) return native;

    size_t lead = 0;
    while (lead < native.size() && native[lead] == '/') ++lead;
    std::string resolved = native.substr(0, lead);  // "/" or "" (relative)
    bool trailing = native.size() > lead && native.back() == '/';

    std::vector<std::string> parts;
    for (const auto& part : Split(native.substr(lead), '/'))
        if (!part.empty()) parts.push_back(part);

    bool missing = false;
    for (size_t i = 0; i < parts.size(); ++i) {
        const std::string& part = parts[i];
        std::string directory = resolved;
        if (!resolved.empty() && resolved.back() != '/') resolved += '/';
        std::string candidate = resolved + part;
        if (!missing && part != "." && part != ".." && !Exists(candidate)) {
            std::string found = FindEntryNoCase(directory.empty() ? "." : directory, part);
            if (found.empty()) {
                missing = true;
            } else {
                candidate = resolved + found;
            }
        }
        resolved = candidate;
    }
    if (trailing && !resolved.empty() && resolved.back() != '/') resolved += '/';
    return resolved;
}

std::string JoinPath(const std::string& directory, const std::string& name) {
    if (directory.empty()) return NativePath(name);
    if (name.empty()) return NativePath(directory);
    size_t end = directory.size();
    while (end > 0 && IsSeparator(directory[end - 1])) --end;
    size_t start = 0;
    while (start < name.size() && IsSeparator(name[start])) ++start;
    return NativePath(directory.substr(0, end) + "/" + name.substr(start));
}

bool PathExists(const std::string& path) {
    if (path.empty()) return false;
    std::error_code ec;
    return fs::exists(ResolvePath(path), ec);
}

bool IsDirectory(const std::string& path) {
    if (path.empty()) return false;
    std::error_code ec;
    return fs::is_directory(ResolvePath(path), ec);
}

bool IsRegularFile(const std::string& path) {
    if (path.empty()) return false;
    std::error_code ec;
    return fs::is_regular_file(ResolvePath(path), ec);
}

std::vector<std::string> ListFiles(const std::string& directory, const std::string& pattern) {
    // "*.*" means every file on the stations' systems, including names without a dot.
    return ListEntries(directory, EntryKind::Files, pattern == "*.*" ? "*" : pattern);
}

std::vector<std::string> ListEntryNames(const std::string& directory, const std::string& pattern) {
    return ListEntries(directory, EntryKind::Any, pattern == "*.*" ? "*" : pattern);
}

std::vector<std::string> ListDirectories(const std::string& directory) {
    return ListEntries(directory, EntryKind::Directories, "");
}

bool WildcardMatch(const std::string& pattern, const std::string& name) {
    return MatchFrom(ToUpper(pattern), 0, ToUpper(name), 0);
}

}  // namespace vantor
