#include "common/ini_document.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "common/codepage.h"
#include "common/text.h"

namespace vantor {

namespace {

// Bounds of what an INI file may hold. The installation's settings files are a few
// kilobytes; anything beyond these is no settings file, and reading it whole (a device that
// never ends, a file of hundreds of megabytes) would exhaust memory or take minutes.
constexpr size_t kMaxFileBytes = 4 * 1024 * 1024;
constexpr size_t kMaxLineBytes = 64 * 1024;

bool WriteAll(int fd, const std::string& bytes) {
    size_t written = 0;
    while (written < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        written += static_cast<size_t>(n);
    }
    return true;
}

// What reading an INI file found: its bytes, or that it is missing, or why it was not read.
struct ReadOutcome {
    std::string bytes;
    bool missing = false;
    std::string why;  // empty when the file was read
};

ReadOutcome ReadBounded(const std::string& path) {
    ReadOutcome out;
    // Not blocking: a FIFO without a writer must not hang the program. The type is checked
    // on the opened file, so a link cannot be swapped between the check and the read.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        // A link whose target is not there yet counts as missing too: writing a key then
        // creates the file where the link points.
        const int openError = errno;
        out.missing = openError == ENOENT || openError == ENOTDIR;
        if (!out.missing) out.why = std::strerror(openError);
        return out;
    }
    struct stat st;
    std::string why;
    std::string bytes;
    if (fstat(fd, &st) != 0) {
        why = std::strerror(errno);
    } else if (!S_ISREG(st.st_mode)) {
        why = S_ISDIR(st.st_mode) ? "it is a directory" : "it is not a regular file";
    } else if (st.st_size > static_cast<off_t>(kMaxFileBytes)) {
        why = "it is larger than " + std::to_string(kMaxFileBytes / (1024 * 1024)) + " MB";
    } else {
        // Read at most one byte past the bound, so that a file that grows meanwhile is caught.
        bytes.resize(static_cast<size_t>(st.st_size) + 1);
        size_t got = 0;
        while (got < bytes.size()) {
            ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                why = std::strerror(errno);
                break;
            }
            if (n == 0) break;
            got += static_cast<size_t>(n);
            if (got > kMaxFileBytes) {
                why = "it is larger than " + std::to_string(kMaxFileBytes / (1024 * 1024)) + " MB";
                break;
            }
            if (got == bytes.size()) bytes.resize(std::min(bytes.size() * 2, kMaxFileBytes + 1));
        }
        bytes.resize(got);
    }
    ::close(fd);
    if (why.empty()) {
        size_t start = 0;
        while (start <= bytes.size()) {
            size_t lf = bytes.find('\n', start);
            size_t end = lf == std::string::npos ? bytes.size() : lf;
            if (end - start > kMaxLineBytes) {
                why = "a line is longer than " + std::to_string(kMaxLineBytes / 1024) + " KB";
                break;
            }
            if (lf == std::string::npos) break;
            start = lf + 1;
        }
    }
    if (!why.empty()) bytes.clear();
    out.bytes = std::move(bytes);
    out.why = std::move(why);
    return out;
}

}  // namespace

std::optional<std::string> IniSectionName(const std::string& utf8Line) {
    std::string t = Trim(utf8Line);
    if (t.empty() || t[0] != '[') return std::nullopt;
    size_t close = t.find(']');
    return Trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
}

std::optional<std::string> IniKeyName(const std::string& utf8Line) {
    std::string t = TrimLeft(utf8Line);
    if (t.empty() || t[0] == ';' || t[0] == '[') return std::nullopt;
    size_t eq = t.find('=');
    if (eq == std::string::npos) return std::nullopt;
    return Trim(t.substr(0, eq));
}

std::optional<std::string> UnreadableSettingsFile(const std::string& path) {
    ReadOutcome read = ReadBounded(path);
    if (read.missing || read.why.empty()) return std::nullopt;
    return read.why;
}

bool IniDocument::Load(const std::string& path) {
    lines_.clear();
    ReadOutcome read = ReadBounded(path);
    if (read.missing) return true;
    if (!read.why.empty()) return false;
    const std::string& bytes = read.bytes;
    size_t pos = 0;
    while (pos < bytes.size()) {
        size_t lf = bytes.find('\n', pos);
        if (lf == std::string::npos) {
            lines_.push_back({bytes.substr(pos), ""});
            break;
        }
        size_t end = lf;
        std::string ending = "\n";
        if (end > pos && bytes[end - 1] == '\r') {
            --end;
            ending = "\r\n";
        }
        lines_.push_back({bytes.substr(pos, end - pos), ending});
        pos = lf + 1;
    }
    return true;
}

bool IniDocument::Save(const std::string& path) const {
    std::string bytes;
    for (const Line& line : lines_) bytes += line.text + line.ending;

    // A linked file is written where the link points, so the link stays a link.
    std::error_code ec;
    std::string target = path;
    if (std::filesystem::is_symlink(path, ec)) {
        auto real = std::filesystem::weakly_canonical(path, ec);
        if (!ec) target = real.string();
    }

    std::string temp = target + ".XXXXXX";
    int fd = mkstemp(temp.data());
    if (fd < 0) {
        // A directory we may not create files in can still hold a file we may change: write
        // it in place then, as the stations' own programs do.
        if (access(target.c_str(), W_OK) != 0) return false;
        int direct = open(target.c_str(), O_WRONLY | O_TRUNC);
        if (direct < 0) return false;
        bool ok = WriteAll(direct, bytes);
        return close(direct) == 0 && ok;
    }
    bool ok = WriteAll(fd, bytes);
    // Keep the permissions an existing file had; a new one gets the usual ones.
    struct stat st;
    if (stat(target.c_str(), &st) == 0) {
        fchmod(fd, st.st_mode & 07777);
    } else {
        mode_t mask = umask(0);
        umask(mask);
        // Never writable by every account, whatever the umask.
        fchmod(fd, 0666 & ~mask & ~S_IWOTH);
    }
    if (close(fd) != 0) ok = false;
    if (ok && std::rename(temp.c_str(), target.c_str()) != 0) ok = false;
    if (!ok) std::remove(temp.c_str());
    return ok;
}

long IniDocument::FindSection(const std::string& section) const {
    const std::string wanted = Trim(section);
    for (size_t i = 0; i < lines_.size(); ++i) {
        auto name = IniSectionName(Cp1252ToUtf8(lines_[i].text));
        if (name && EqualsNoCase(*name, wanted)) return static_cast<long>(i);
    }
    return -1;
}

size_t IniDocument::SectionEnd(size_t header) const {
    size_t i = header + 1;
    while (i < lines_.size() && !IniSectionName(Cp1252ToUtf8(lines_[i].text))) ++i;
    return i;
}

long IniDocument::FindKey(size_t header, const std::string& key) const {
    const std::string wanted = Trim(key);
    size_t end = SectionEnd(header);
    for (size_t i = header + 1; i < end; ++i) {
        auto name = IniKeyName(Cp1252ToUtf8(lines_[i].text));
        if (name && EqualsNoCase(*name, wanted)) return static_cast<long>(i);
    }
    return -1;
}

bool IniDocument::HasSection(const std::string& section) const {
    return FindSection(section) >= 0;
}

std::vector<std::string> IniDocument::Sections() const {
    std::vector<std::string> names;
    for (const Line& line : lines_)
        if (auto name = IniSectionName(Cp1252ToUtf8(line.text))) names.push_back(*name);
    return names;
}

std::optional<std::string> IniDocument::RawValue(const std::string& section,
                                                 const std::string& key) const {
    long header = FindSection(section);
    if (header < 0) return std::nullopt;
    long at = FindKey(static_cast<size_t>(header), key);
    if (at < 0) return std::nullopt;
    const std::string& text = lines_[static_cast<size_t>(at)].text;
    return text.substr(text.find('=') + 1);
}

std::vector<std::string> IniDocument::Keys(const std::string& section) const {
    std::vector<std::string> keys;
    long header = FindSection(section);
    if (header < 0) return keys;
    size_t end = SectionEnd(static_cast<size_t>(header));
    for (size_t i = static_cast<size_t>(header) + 1; i < end; ++i) {
        auto name = IniKeyName(Cp1252ToUtf8(lines_[i].text));
        if (!name || name->empty()) continue;
        bool seen = false;
        for (const auto& k : keys) seen = seen || EqualsNoCase(k, *name);
        if (!seen) keys.push_back(*name);
    }
    return keys;
}

std::string IniDocument::NewLineEnding() const {
    // New lines follow the file's own style; a new file gets the style the installation's
    // Windows programs write.
    for (const Line& line : lines_)
        if (!line.ending.empty()) return line.ending;
    return "\r\n";
}

void IniDocument::EnsureLastLineEnded() {
    if (!lines_.empty() && lines_.back().ending.empty()) lines_.back().ending = NewLineEnding();
}

void IniDocument::SetRawValue(const std::string& section, const std::string& key,
                              const std::string& rawValue) {
    const std::string eol = NewLineEnding();
    const std::string keyBytes = Utf8ToCp1252(Trim(key));
    long header = FindSection(section);
    if (header < 0) {
        EnsureLastLineEnded();
        lines_.push_back({"[" + Utf8ToCp1252(Trim(section)) + "]", eol});
        lines_.push_back({keyBytes + "=" + rawValue, eol});
        return;
    }
    long at = FindKey(static_cast<size_t>(header), key);
    if (at >= 0) {
        std::string& text = lines_[static_cast<size_t>(at)].text;
        size_t valueStart = text.find('=') + 1;
        while (valueStart < text.size() && (text[valueStart] == ' ' || text[valueStart] == '\t'))
            ++valueStart;
        text = text.substr(0, valueStart) + rawValue;
        return;
    }
    // After the section's last key, so that blank lines and comments that lead into the next
    // section stay where they are.
    size_t end = SectionEnd(static_cast<size_t>(header));
    size_t insertAt = static_cast<size_t>(header) + 1;
    for (size_t i = insertAt; i < end; ++i)
        if (IniKeyName(Cp1252ToUtf8(lines_[i].text))) insertAt = i + 1;
    if (insertAt == lines_.size()) EnsureLastLineEnded();
    lines_.insert(lines_.begin() + static_cast<long>(insertAt),
                  Line{keyBytes + "=" + rawValue, eol});
}

bool IniDocument::RemoveKey(const std::string& section, const std::string& key) {
    long header = FindSection(section);
    if (header < 0) return false;
    long at = FindKey(static_cast<size_t>(header), key);
    if (at < 0) return false;
    lines_.erase(lines_.begin() + at);
    return true;
}

}  // namespace vantor
