#pragma once
// The music scheduler's daily log files: where the file of a day is, how its lines are told
// apart, the two forms of the header that opens each hour and the columns of an item line.
//
// The files are 8-bit Windows-1252 text laid out in fixed columns, so every line is kept as
// its raw bytes and cut into columns first; only the pieces cut out that are kept as texts are
// converted to UTF-8.

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/day_time.h"

namespace vantor {

class UserInterface;
struct DbSettings;

// The three settings of the playout database that name the log files ("MUSIC.LogPath",
// "MUSIC.FilenamePrefix", "MUSIC.FilenameFormat").
struct SchedulerLogNaming {
    std::string logPath;
    std::string prefix = "VN";
    std::string dateFormat = "yymmdd";
};

// The naming settings of a playout database.
SchedulerLogNaming SchedulerLogNamingOf(const DbSettings& settings);

// The file of a day: logs directory, prefix, the day in the date pattern and ".LOG"; every day
// shares prefix + ".LOG" when the pattern is empty. The day -1 gives the search pattern of all
// dated files (prefix + "*" + ".LOG").
std::string LogFileName(int32_t day, const SchedulerLogNaming& naming);

// A line's kind is its first character.
enum class LogLineKind {
    HourHeader,             // "+"
    BreakNote,              // ":"
    ItemWithContinuations,  // "@": up to two continuation lines follow
    Item,                   // "#"
    Comment,                // "=", ";", "*", "-", "'" or an empty line
    Other,                  // anything else, passed over
};
LogLineKind KindOfLine(std::string_view rawLine);

// Reads a log file forward, one raw 8-bit line at a time, and knows how far it has got.
// A line ends at a line feed; carriage returns are dropped, and so is a form feed at the very
// start of a line (the scheduler starts every printed page with one).
//
// Only a regular file is read. Anything else under a day file's name (a directory, a named
// pipe, a device, a link to nothing) is never opened for reading: a pipe without a writer
// would hold the import forever and a device would feed it without end. Unreadable() says why.
class SchedulerLogReader {
  public:
    explicit SchedulerLogReader(const std::string& path);
    ~SchedulerLogReader();
    SchedulerLogReader(const SchedulerLogReader&) = delete;
    SchedulerLogReader& operator=(const SchedulerLogReader&) = delete;

    bool IsOpen() const { return file_ != nullptr; }
    // Why a file that is there could not be read ("it is a directory", ...); empty when it was
    // opened or when nothing at all is there.
    const std::string& Unreadable() const { return unreadable_; }
    // True when nothing is left to read.
    bool AtEnd();
    // The next line, or "" at the end of the file.
    std::string ReadLine();
    // The same without a copy: a view into the reader's buffer, valid until the next call of
    // ReadLine, NextLine or AtEnd.
    std::string_view NextLine();
    // True once a line has been read that ended at the end of the file without a line end:
    // the file was cut short while it was being written or copied.
    bool CutShort() const { return cutShort_; }
    // Bytes read so far and the file's length, for the progress bar.
    int64_t Position() const { return position_; }
    int64_t Length() const { return length_; }
    // Percent of the file read, 0 to 100.
    int PercentRead() const;
    // Lines read so far: the number of the line ReadLine gave last.
    int64_t LinesRead() const { return lines_; }

  private:
    // Reads more of the file behind what is still unread; false at its end.
    bool Fill();

    std::FILE* file_ = nullptr;
    // The file is read in large blocks and each line cut out of the block with one search for
    // its end, rather than a byte at a time; a line longer than the block grows it.
    std::vector<char> buffer_;
    size_t unreadFrom_ = 0;  // the unread bytes are buffer_[unreadFrom_, filled_)
    size_t filled_ = 0;
    bool ended_ = false;
    std::string unreadable_;
    bool cutShort_ = false;
    int64_t position_ = 0;
    int64_t length_ = 0;
    int64_t lines_ = 0;
};

// The columns of an item line ("@" or "#") and of its continuation lines, as UTF-8 texts.
struct SchedulerItem {
    bool hasContinuations = false;  // an "@" line
    std::string cartNumber;         // columns 2-8, trimmed
    std::string title;              // columns 10-42, as they are
    std::string description2;       // columns 44-63, as they are
    std::string endingCode;         // columns 74-75, trimmed, in capitals
    std::string endCode;            // column 80, in capitals ("" on a short line)
    std::string description3;       // first continuation line, columns 44-63, as they are
    std::string notes;              // second continuation line, columns 10-80, as they are
};

// Cuts the columns of the item line itself.
SchedulerItem CutItemLine(std::string_view rawLine);
// The same into item, whose texts keep their storage from one line to the next.
void CutItemLine(std::string_view rawLine, SchedulerItem& item);
// For an "@" item, reads its continuation lines whatever their first character: the first one
// always, the second only when the first is not blank.
void ReadItemContinuations(SchedulerLogReader& reader, SchedulerItem& item);

// Columns of a break-note line (":"), cut from the raw line and converted.
std::string NoteTextOf(std::string_view rawLine);  // column 15 to the end, raw 8-bit

// Reads the hour header that starts with rawLine (first character "+"). The block form
// ("+*") reads further lines from the reader and leaves the last one read in rawLine.
// On success sets the stamp {day, hour x 3600} and the header text. A date or hour that
// cannot be read is reported (ProblemReport, error number 0) and fails; a block header cut off
// by the end of the file fails silently. thisYear completes a date written without a year.
bool ReadHourHeader(SchedulerLogReader& reader, std::string& rawLine, DayTime& stamp,
                    std::string& headerText, UserInterface& ui, int thisYear);

// The hour of a header: the leading digits of text (at least one), followed by nothing or by a
// character that is neither a letter, a digit nor a decimal point, and no more than 23.
// Nothing for anything else ("ab", "-1", "7a", "1.5", "24"), which must not be read as an hour.
std::optional<int> WholeHourOf(std::string_view text);

// The day of a block header's date line ("Date :" and the date from column 7): a two-digit
// year below 20 in columns 14-15 gets "20" in front of it, and a date that still lands before
// 1980 is moved into the 2000s. -1 when the text is not a date.
int32_t ParseBlockHeaderDate(std::string_view rawDateLine, int thisYear);

}  // namespace vantor
