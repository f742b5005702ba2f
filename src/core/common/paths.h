#pragma once
// File names on a file system that, unlike the stations' own, tells letter case apart.
// Every existing file or directory the program looks up is matched without regard to case,
// component by component, when the exact spelling is absent. A "\" inside a stored location
// is read as a separator. New files take the spelling the program gives them.

#include <string>
#include <vector>

namespace vantor {

// "\" turned into "/" (drive letters and "\\server\share" are left alone otherwise).
std::string NativePath(const std::string& path);
// The existing path that matches, case-insensitively, component by component; when some
// component does not exist, the path with the existing part resolved and the rest as given.
std::string ResolvePath(const std::string& path);
// Joins with exactly one separator between the parts.
std::string JoinPath(const std::string& directory, const std::string& name);
bool PathExists(const std::string& path);   // after resolving
bool IsDirectory(const std::string& path);  // after resolving
bool IsRegularFile(const std::string& path);
// Names (not paths) of the regular files of a directory matching a pattern with "*" and "?",
// compared without case ("VN*.LOG" lists "vn000307.log"), sorted without regard to case.
std::vector<std::string> ListFiles(const std::string& directory, const std::string& pattern);
// Names of every entry of a directory matching a pattern, whatever it is (a file, a
// directory, a named pipe, a device, a link to nothing), sorted as ListFiles sorts.
std::vector<std::string> ListEntryNames(const std::string& directory, const std::string& pattern);
// Names of the sub-directories of a directory, sorted without regard to case.
std::vector<std::string> ListDirectories(const std::string& directory);
// "*"/"?" wildcard match without regard to case.
bool WildcardMatch(const std::string& pattern, const std::string& name);

}  // namespace vantor
