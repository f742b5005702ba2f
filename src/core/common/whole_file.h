#pragma once
// A file replaced whole: written beside its final name and renamed over it, so that a reader
// (a monitoring agent polling the file) sees the old contents or the new, never half of them.

#include <string>

namespace vantor {

struct [[nodiscard]] WholeFileWrite {
    std::string failure;  // why the file was not replaced; empty when it was
    bool Ok() const { return failure.empty(); }
};

// Replaces the file at path with contents. The file is readable by every account (less what
// the umask takes away), as files for other programs to read are.
WholeFileWrite ReplaceWholeFile(const std::string& path, const std::string& contents);

}  // namespace vantor
