#pragma once
// Two whole-file readers over the scheduler's log files: the scan that finds the first and
// the last hour a file covers, and the discovery of the range still to be imported, which the
// main window proposes at start-up and from "&Scan Log files for date range".

#include <string>

#include "common/day_time.h"
#include "importer/range_fields.h"

namespace vantor {

class Session;

// The end of an hour: its start plus this many seconds (single precision, as stored).
inline constexpr double kHourLastSecond = 3599.99;
// The last hundredth of a day, as the single-precision stamps carry it.
inline constexpr float kDayLastSecond = 86399.99f;

// Scans a log file for its hour headers: first = the earliest header stamp, last = the
// latest header stamp plus 3599.99 seconds, both {0, 0} when the file holds no header.
// False, with first and last untouched, for a missing or empty file; false with the stamps
// found so far when a header cannot be read (that header's report has been shown).
bool ScanLogFile(Session& session, const std::string& path, DayTime& first, DayTime& last);

// Proposes the default import range for the playout database databaseFile (a name in the data
// location's SCHEDULE directory) from the dated log files and lastScheduled, the end of the
// last scheduled hour ({0, 0} when there is none), and writes it into fields. A database that
// cannot be opened leaves the fields as they were.
void ProposeImportRange(Session& session, const std::string& databaseFile,
                      const DayTime& lastScheduled, RangeFields& fields);

// The day a log file's name carries after the prefix, read with one of the date patterns
// "yymmdd", "yyddmm", "ddmmyy" or "mmddyy" (any letter case); the two-digit year means 2000 to
// 2099. Skipped names (wrong prefix, "." right after it, no number, an impossible date) give -1;
// 0 for a name that passed the checks under any other pattern.
int32_t DayOfLogFileName(const std::string& fileName, const std::string& prefix,
                         const std::string& datePattern, int thisYear);

}  // namespace vantor
