#pragma once
// The small routines every part of the program calls: report-file lines, file and directory
// helpers, field splitting, keyboard filters, the password scramble and the like. Time texts
// are in time_text.h, the DayTime stamp in day_time.h, the trace log in trace.h, line reading
// in text_file.h and operating-system information in system_info.h.
//
// Every existing file or directory named here is found without regard to letter case.

#include <cstdint>
#include <string>

#include "common/ole_date.h"
#include "common/system_info.h"
#include "common/text_file.h"

namespace vantor {

class Clock;
class UserInterface;
struct TraceState;

// ---- Files and directories

// Appends one line (UTF-8 here, Windows-1252 and CRLF on disk), creating the file when
// needed. stamped puts the short date and "hh:nn:ss" and a space in front. An empty path does
// nothing; file errors are ignored.
void AppendLogLine(const std::string& path, bool stamped, const std::string& text,
                   const Clock& clock);

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
// is asked first (a "No" skips that file). A failure is reported and gives false.
bool CopyOrMoveFiles(UserInterface& ui, const std::string& source, const std::string& destination,
                     const std::string& progressTitle, bool move, bool silent);

// ---- Texts and numbers

// The field that begins at start (1-based, below 1 counts as 1) and ends before the next
// delimiter, whose position goes to foundAt (0 when there is none: the field runs to the end).
// skipBlanks begins the field at the first non-blank at or after start ("" when none); trim
// trims it. Walk a line by passing foundAt + 1 as the next start.
std::string NextField(const std::string& text, long start, const std::string& delimiter,
                      long& foundAt, bool trim, bool skipBlanks);

// The full month name of month 1..12 ("" otherwise).
std::string MonthName(int month);
// (weekday counted from Monday = 1, minus 1) * 24 + hour: 0 for Monday 00:00 .. 167 for
// Sunday 23:00.
int HourOfWeek(OleDate dateTime);

int32_t MinOf(int32_t a, int32_t b);
int32_t MaxOf(int32_t a, int32_t b);
int32_t Clamp(int32_t value, int32_t low, int32_t high);  // MinOf(MaxOf(value, low), high)

// Character classes of numeric and name fields.
enum CharacterClass {
    kClassDigits = 1,
    kClassDigitsLetters = 2,
    kClassLetters = 3,
    kClassDigitsLettersSpace = 4,
    kClassDigitsSpace = 5,
};
// True when every character of the text belongs to the class (letters are A-Z and a-z only);
// any other class accepts everything.
bool CharacterClassCheck(const std::string& text, int characterClass);
// The key-press filter: backspace, tab, enter, escape and the full stop (46) always pass,
// other keys only when their character is in the class; a refused key comes back as 0.
int KeyFilter(int keyCode, int characterClass);

// The fixed transformation of passwords before they are stored or compared: capitals first
// (unless keepCase), then bits 0<->4 and 1<->3 of every Windows-1252 byte exchanged. The
// result is the UTF-8 text of the exchanged bytes, so it stores in a text column; applying it
// again gives back the (capitalised) text.
std::string ScrambleText(const std::string& text, bool keepCase = false);

// True when x and y each lie within tolerance of the centre (inclusive).
bool PointNear(long x, long y, long centreX, long centreY, long tolerance);

// ---- Waiting

// Waits until the given seconds have passed since the call, handing control to pending events
// on every turn; stops early once *abortFlag is true. Returns true when it stopped early.
bool PauseWithEvents(UserInterface& ui, const Clock& clock, double seconds,
                     const bool* abortFlag = nullptr);
// The same on the system clock, for callers that wait in real time only.
bool PauseWithEvents(UserInterface& ui, double seconds, const bool* abortFlag = nullptr);

}  // namespace vantor
