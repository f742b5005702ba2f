#pragma once
// One INI file held in memory line by line, so that a change touches only its own line and
// every other byte of the file is written back exactly as it was read (line ends included).
// Lines are kept as the 8-bit bytes of the file; names are compared after conversion to
// UTF-8, without regard to case. Used by the profile functions and the registry file.

#include <optional>
#include <string>
#include <vector>

namespace vantor {

class IniDocument {
  public:
    // Reads a file. A missing file gives an empty document and true; a file that exists but
    // cannot be read gives false (the document is then empty), and so does anything that is no
    // settings file: not a regular file (a FIFO, a device, a directory), larger than a few
    // megabytes, or holding a line of more than 64 KB. Nothing is said here: a file is read
    // afresh for every key, and UnreadableSettingsFile tells why, for a warning given once.
    bool Load(const std::string& path);
    // Writes the document to a temporary file beside path and renames it over path, so that a
    // reader never sees a half-written file. False when it cannot be written.
    bool Save(const std::string& path) const;

    bool HasSection(const std::string& section) const;
    // Names (UTF-8, trimmed) of every section header in file order.
    std::vector<std::string> Sections() const;
    // The raw text after "=" (8-bit bytes, untrimmed) of the first matching key of the first
    // matching section; nullopt when either is missing.
    std::optional<std::string> RawValue(const std::string& section, const std::string& key) const;
    // Key names (UTF-8, trimmed) of the first matching section in file order, each once.
    std::vector<std::string> Keys(const std::string& section) const;

    // Replaces the value of the key (keeping "key =" and the blanks after it as they were),
    // or adds the key at the end of its section, or the section at the end of the document.
    // rawValue is 8-bit bytes.
    void SetRawValue(const std::string& section, const std::string& key,
                     const std::string& rawValue);
    // Removes the first matching key's line; false when there was none.
    bool RemoveKey(const std::string& section, const std::string& key);

  private:
    struct Line {
        std::string text;    // bytes without the line end
        std::string ending;  // "\r\n", "\n" or "" (last line without a line end)
    };

    // Index of the header line of the first matching section, or -1.
    long FindSection(const std::string& section) const;
    // Index of the first line after the section's body (the next header or the end).
    size_t SectionEnd(size_t header) const;
    long FindKey(size_t header, const std::string& key) const;
    std::string NewLineEnding() const;
    void EnsureLastLineEnded();

    std::vector<Line> lines_;
};

// Why the file at path, which is there, is one IniDocument::Load does not read; nothing when it
// can be read or is missing.
std::optional<std::string> UnreadableSettingsFile(const std::string& path);

// Name of a section header line ("[ Name ]" -> "Name"), or nullopt when the line is none.
std::optional<std::string> IniSectionName(const std::string& utf8Line);
// Key of a "key=value" line (trimmed), or nullopt for comments and lines without "=".
std::optional<std::string> IniKeyName(const std::string& utf8Line);

}  // namespace vantor
