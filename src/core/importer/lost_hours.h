#pragma once
// The hours of one day's walk that bad input made impossible to find, and the error report
// lines that name them. An hour is lost when its header was looked for and not found and the
// file gave a reason: an unreadable header stood where the hour would be (between the last
// readable header before it and the next readable one, or to the end of the file), or the file
// holds no readable header at all, or the file was cut short before the hour, or the file is
// missing or unreadable. An hour that a well-formed file
// simply does not schedule is not lost: many stations schedule only part of the day.

#include <string>
#include <utility>
#include <vector>

#include "common/day_time.h"

namespace vantor {

class Clock;
class ReportFile;

class LostHours {
  public:
    // The headers of the day's file as they are read, in file order.
    void ReadableHeader(const DayTime& stamp);
    void UnreadableHeader();
    // The file's last line has no line end: every hour looked for at its end is lost.
    void CutShort() { cutShort_ = true; }

    // An hour whose header was looked for and not found; atEnd when the search reached the end
    // of the file. Records it when the file gave a reason, and says whether it did.
    bool NotFound(const DayTime& hourStamp, bool atEnd);
    // Every hour of the day's range (the day file is missing).
    void AllLost(int32_t day, int firstHour, int lastHour);

    // Appends "The following hours could not be found in the Music Log <file>: <from> to <to>"
    // to the error report, one line per run of consecutive lost hours.
    void Report(ReportFile& errorReport, const std::string& logFile, const Clock& clock) const;

  private:
    bool Explained(const DayTime& hourStamp, bool atEnd) const;

    DayTime lastReadable_{0, 0};
    bool anyReadable_ = false;
    bool cutShort_ = false;
    bool gapOpen_ = false;                           // an unreadable header after lastReadable_
    std::vector<std::pair<DayTime, DayTime>> gaps_;  // (readable, next readable) around one
    std::vector<DayTime> lost_;
};

}  // namespace vantor
