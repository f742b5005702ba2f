#pragma once
// File and directory helpers: report-file lines, lengths and existence, directory creation,
// the parts of a path, temporary file names, and copying or moving files.
//
// Every existing file or directory named here is found without regard to letter case.

#include <cstdio>
#include <string>

namespace vantor {

class Clock;
class UserInterface;
struct TraceState;

// Appends one line (UTF-8 here, Windows-1252 and CRLF on disk), creating the file when
// needed. stamped puts the short date and "hh:nn:ss" and a space in front. An empty path does
// nothing; file errors are ignored.
void AppendLogLine(const std::string& path, bool stamped, const std::string& text,
                   const Clock& clock);

// Opens a file for writing at its end (append) or from its start (emptied), creating it when
// needed. A new file is never writable by every account, whatever the umask: logs, reports
// and traces are read by others, not written. nullptr (errno set) when it cannot be opened.
std::FILE* OpenFileForWriting(const std::string& path, bool append);

// True when name can be one component of a path as it is: not empty, not "." or "..", and
// without a separator ("/" or "\\") or a control character. A name from a shared table that
// is not one must never be joined to a directory: it could reach outside it.
bool IsPlainFileName(const std::string& name);

// Length in bytes; -1 when the file cannot be examined.
long long FileLength(const std::string& path);
// True when an existing file (not a directory) is there.
bool FileExists(const std::string& path);
// True when the path is an existing directory; "" is none. A bare drive letter gets its
// colon and a bare "\\server\share" its "\" first. Traces its start, its test and its result.
bool DirectoryExists(const std::string& path, TraceState* trace = nullptr);
// Creates every missing level of a directory path; true when it exists afterwards. Failures
// are reported unless quiet.
bool CreateDirectoryPath(UserInterface& ui, const std::string& path, bool quiet);

// The text after the last "\" or "/" (all of it when there is none).
std::string FileNameOf(const std::string& path);
// The text before the last "." of the last path component (unchanged when it has none).
std::string StripExtension(const std::string& name);
// StripExtension(FileNameOf(path)).
std::string BaseNameOf(const std::string& path);
// The text before the last separator, with a trailing "\" when withSeparator; "" when the
// path has no separator.
std::string ParentDirectoryOf(const std::string& path, bool withSeparator);

// Creates a new, empty, uniquely named file in directory (the temporary directory when
// empty) named after the program title, and returns its path. For an extension other than
// "TMP" that file is removed again and the name given that extension, trying again while a
// file of that name exists; the returned name is then free but not created. "" on failure,
// after "Error getting a temporary file name :" and the system error number was shown.
std::string TempFileName(UserInterface& ui, const std::string& directory,
                         const std::string& extension,
                         const std::string& programTitle = "Vantor Log Import");

// Copies (or moves) a file, a directory tree, or the files a "*"/"?" pattern names, into
// destination: an existing directory receives them under their own names; otherwise
// destination is the new name of a single source. Unless silent, replacing an existing file
// is asked first (a "No" skips that file). A failure is reported and gives false. The work
// runs under the hourglass; a caller that wants it named says so itself (start-up's backup of
// the cart lists names it on the splash line).
bool CopyOrMoveFiles(UserInterface& ui, const std::string& source, const std::string& destination,
                     bool move, bool silent);

}  // namespace vantor
