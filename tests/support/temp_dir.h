#pragma once
// A temporary directory removed with everything in it when the test ends.

#include <map>
#include <string>

namespace vantor::testing {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // path()/relative
    std::string operator/(const std::string& relative) const;
    // Writes bytes to path()/relative, creating directories; returns the full path.
    std::string WriteFile(const std::string& relative, const std::string& bytes) const;
    std::string ReadFile(const std::string& relative) const;

private:
    std::string path_;
};

// Reads a whole file as bytes ("" when missing).
std::string ReadWholeFile(const std::string& path);
// Every file of a directory (not its subdirectories) by name, with its bytes: what a test
// compares to show that nothing in the directory was written, added or left behind.
std::map<std::string, std::string> FilesIn(const std::string& directory);

}  // namespace vantor::testing
