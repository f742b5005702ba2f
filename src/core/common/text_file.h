#pragma once
// An open text file read line by line: what the installation's programs call a file number.
// Closing happens when the reader goes out of scope.

#include <cstdio>
#include <memory>
#include <string>

namespace vantor {

class TextFileReader {
  public:
    TextFileReader() = default;
    // Opens an existing file (found without regard to letter case); IsOpen tells whether it
    // worked.
    explicit TextFileReader(const std::string& path) { Open(path); }

    bool Open(const std::string& path);
    void Close() { file_.reset(); }
    bool IsOpen() const { return file_ != nullptr; }
    // True when the file is closed or nothing is left to read.
    bool AtEnd() const;

    // Next byte, or -1 at the end.
    int ReadByte();

  private:
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, Closer> file_;
};

// The next line up to a line feed or the end of the file, carriage returns dropped and the
// line feed not returned. The line is the file's own 8-bit bytes (Windows-1252): cut fixed
// columns first, then convert with Cp1252ToUtf8. "" for a closed reader or at the end.
std::string ReadTextLine(TextFileReader& file);

}  // namespace vantor
