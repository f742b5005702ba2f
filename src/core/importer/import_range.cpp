#include "importer/import_range.h"

#include <algorithm>

#include "common/files.h"
#include "common/locale.h"
#include "common/numbers.h"
#include "common/paths.h"
#include "common/text.h"
#include "common/time_text.h"
#include "importer/scheduler_log.h"
#include "session/session.h"
#include "playoutdb/playout_settings.h"
#include "dbengine/engine.h"
#include "playoutdb/log_table.h"

namespace vantor {

namespace {

constexpr int32_t kNoFirstDay = 99999;

const char* const kNoLogEntriesText =
    "Either the log file did not exist, or if it did, there was no valid log entries in it.\n\n"
    "You should check your settings, and re-export from your scheduling program.\n\n"
    "There is therefore nothing to import.";

const char* const kNoDatedFilesText =
    "No valid log entries were found. This may be due to one of the following reasons:\n\n"
    "No Log files could be found,\n"
    "Log files were found, but had no entries in them,\n\n"
    "You should check your settings, and re-export from your scheduling program.\n\n"
    "There is therefore nothing to import.";

const char* const kNothingNewText =
    "Log files were found, but none of them contained entries that were after the last ones "
    "in the Kora log.\n"
    "This may be due to one of the following reasons:\n\n"
    "You may not have \"Exported\" or \"Sent\" any new logs from your Scheduler,\n"
    "You may be filling in a hole in your Kora Log,\n\n"
    "You may need to check your settings, or re-export from your scheduling program if "
    "nescessary.\n\n"
    "The Log Importer has therefore defaulted to the dates of the latest dated log file "
    "found.\n";

// Positions (0-based, after the prefix) of year, month and day for the patterns a date can be
// read back from.
struct DatePositions {
    const char* pattern;
    int year, month, day;
};
constexpr DatePositions kDatePatterns[] = {
    {"yymmdd", 0, 2, 4},
    {"yyddmm", 0, 4, 2},
    {"ddmmyy", 4, 2, 0},
    {"mmddyy", 4, 0, 2},
};

// Closes the progress window and puts the pointer back however the scan ends.
class ScanProgress {
  public:
    explicit ScanProgress(UserInterface& ui) : ui_(ui), hourglass_(ui) {
        ui_.ShowDatabaseProgress(true);
        ui_.SetDatabaseProgressTask("Scanning Log File..");
        ui_.SetDatabaseProgressValue(0, 100);
    }
    ~ScanProgress() { ui_.ShowDatabaseProgress(false); }
    ScanProgress(const ScanProgress&) = delete;
    ScanProgress& operator=(const ScanProgress&) = delete;

  private:
    UserInterface& ui_;
    HourglassGuard hourglass_;
};

// What a scan keeps of the headers it reads.
struct ScanFilter {
    // Only headers of this day (a dated file's own day); 0 for every header. The import takes
    // an hour only from its own day's file, so a stray header dated elsewhere (9999, say) must
    // not stretch the range either.
    int32_t day = 0;
    // Only headers after this stamp (the end of the last scheduled hour); day 0 for all.
    DayTime after{0, 0.0f};
};

bool ScanHeaders(Session& session, const std::string& path, const ScanFilter& filter,
                 DayTime& first, DayTime& last);

// A scan that found no header keeps the day the file stands for, whole, rather than offering
// day 0 of the date scale, which no log can hold.
void ScanDayFile(Session& session, const SchedulerLogNaming& naming, int32_t day, DayTime* first,
                 DayTime* last) {
    DayTime scanFirst{day, 0.0f};
    DayTime scanLast{day, kDayLastSecond};
    ScanHeaders(session, LogFileName(day, naming), ScanFilter{day, {0, 0.0f}}, scanFirst, scanLast);
    if (scanFirst.day < 1 || scanLast.day < 1) {
        scanFirst = {day, 0.0f};
        scanLast = {day, kDayLastSecond};
    }
    if (first) *first = scanFirst;
    if (last) *last = scanLast;
}

std::string HourText(float seconds) {
    return LeftOf(FormatTimeText(seconds, 14), 2);
}

bool ScanHeaders(Session& session, const std::string& path, const ScanFilter& filter,
                 DayTime& first, DayTime& last) {
    if (FileLength(path) <= 0) return false;
    UserInterface& ui = session.ui;
    ScanProgress progress(ui);

    DayTime earliest{0, 0.0f};
    DayTime latest{0, 0.0f};
    bool ok = true;
    SchedulerLogReader reader(path);
    while (!reader.AtEnd()) {
        std::string line = reader.ReadLine();
        ui.SetDatabaseProgressValue(std::clamp(reader.PercentRead(), 0, 100), 100);
        if (line.empty() || line.front() != '+') continue;
        DayTime header;
        std::string headerText;
        if (!ReadHourHeader(reader, line, header, headerText, ui, session.ThisYear())) {
            ok = false;
            break;
        }
        if (filter.day != 0 && header.day != filter.day) continue;
        if (filter.after.day >= 1 && !DayTimeAfter(header, filter.after)) continue;
        if (earliest.day < 1 || DayTimeBefore(header, earliest)) earliest = header;
        if (latest.day < 1 || DayTimeAfter(header, latest))
            latest = DayTimeAddSeconds(header, kHourLastSecond);
    }
    first = earliest;
    last = latest;
    return ok;
}

// How far back from the end of the schedules holes are looked for: a hole is left by a run
// that lost an hour, and the runs of the last weeks are the ones anybody still mends.
constexpr int32_t kHoleSearchDays = 31;

// The hours of a day that its file has headers for (an unreadable header ends the reading).
std::vector<bool> ScheduledHours(Session& session, const std::string& path, int32_t day) {
    std::vector<bool> scheduled(24, false);
    SchedulerLogReader reader(path);
    while (!reader.AtEnd()) {
        std::string line = reader.ReadLine();
        if (KindOfLine(line) != LogLineKind::HourHeader) continue;
        DayTime header;
        std::string headerText;
        if (!ReadHourHeader(reader, line, header, headerText, session.ui, session.ThisYear()))
            break;
        if (header.day == day) scheduled[static_cast<size_t>(header.seconds / 3600) % 24] = true;
    }
    return scheduled;
}

// The first hour, in the last weeks up to the end of the schedules, that its day's file
// schedules and the playout log lacks while a later hour of the same day is in it: an hour
// dropped part-way through a run (another program held the log's write lock). The range must
// start there, or the hole stays for good. {0, 0} when there is none.
DayTime FirstHole(Session& session, Database& db, const SchedulerLogNaming& naming,
                  const DayTime& lastScheduled) {
    TableCursor log;
    if (lastScheduled.day < 1 || !OpenLogTable(db, log).Ok()) return {0, 0.0f};
    for (int32_t day = lastScheduled.day - kHoleSearchDays; day <= lastScheduled.day; ++day) {
        bool present[24];
        int lastPresent = -1;
        for (int hour = 0; hour < 24; ++hour) {
            const DayTime stamp{day, static_cast<float>(hour * 3600)};
            present[hour] = log.Seek(SeekOp::Equal, HourStartQIndex(stamp)).Ok() && !log.NoMatch();
            if (present[hour]) lastPresent = hour;
        }
        // Only a day with a gap before its last hour can hold a hole; most have none, and
        // their files are not read.
        bool gap = false;
        for (int hour = 0; hour < lastPresent; ++hour) gap = gap || !present[hour];
        if (!gap) continue;
        const std::vector<bool> scheduled = ScheduledHours(session, LogFileName(day, naming), day);
        for (int hour = 0; hour < lastPresent; ++hour)
            if (!present[hour] && scheduled[hour]) return {day, static_cast<float>(hour * 3600)};
    }
    return {0, 0.0f};
}

}  // namespace

bool ScanLogFile(Session& session, const std::string& path, DayTime& first, DayTime& last) {
    return ScanHeaders(session, path, ScanFilter{}, first, last);
}

int32_t DayOfLogFileName(const std::string& fileName, const std::string& prefix,
                         const std::string& datePattern, int thisYear) {
    const long p = static_cast<long>(prefix.size());
    const long n = static_cast<long>(datePattern.size());
    if (!StartsWithNoCase(fileName, prefix)) return -1;
    if (MidOf(fileName, p + 1, 1) == ".") return -1;
    if (LeadingNumber(MidOf(fileName, p + 1, n)) <= 0) return -1;
    for (const DatePositions& positions : kDatePatterns) {
        if (!EqualsNoCase(datePattern, positions.pattern)) continue;
        auto two = [&](int offset) { return MidOf(fileName, p + 1 + offset, 2); };
        const int month = static_cast<int>(LeadingNumber(two(positions.month)));
        const std::string monthName = MonthName(month);
        // A month outside 1 to 12 names no month at all; such a file carries no date.
        if (monthName.empty()) return -1;
        const std::string dateText =
            "20" + two(positions.year) + " " + monthName + " " + two(positions.day);
        std::optional<int32_t> day = DayOfDateText(dateText, thisYear);
        return day ? *day : -1;
    }
    return 0;
}

void ProposeImportRange(Session& session, const std::string& databaseFile,
                      const DayTime& lastScheduled, RangeFields& fields) {
    UserInterface& ui = session.ui;
    HourglassGuard hourglass(ui);
    Database db;
    if (!session.PlayoutStore().Open(databaseFile, db).Ok()) return;
    DbSettings settings;
    // Settings that could not be read (reported by the read) would have the range proposed
    // from log files the station never named: the fields keep their values, as they do when
    // the database cannot be opened.
    if (!ReadDbSettings(ui, db, settings, session.locations.DataLocation).Ok()) return;

    const SchedulerLogNaming naming = SchedulerLogNamingOf(settings);

    const int32_t tomorrow = session.clock.Today() + 1;
    DayTime first{kNoFirstDay, 0.0f};
    DayTime last{0, 0.0f};

    if (naming.dateFormat.empty()) {
        // One file for every day.
        ScanLogFile(session, LogFileName(0, naming), first, last);
        if (first.day < 1 || first.day == kNoFirstDay) {
            first = {tomorrow, 0.0f};
            ShowWarning(ui, kNoLogEntriesText);
        }
        if (last.day < 1) last = {tomorrow, kDayLastSecond};
        // A header far in the future would have the run walk every day up to it (one message
        // per day without its file): the proposal ends a year after today at most.
        const int32_t limit = session.clock.Today() + 365;
        if (last.day > limit) {
            ShowWarning(ui, "The log file holds hours up to " + RangeDateText(last.day) +
                                ", more than a year from today.\n\nThe proposed range therefore "
                                "ends on " +
                                RangeDateText(limit) +
                                ". You should check the hour headers of the log file.");
            last = {limit, kDayLastSecond};
            if (DayTimeAfter(first, last)) first = {limit, 0.0f};
        }
    } else {
        const std::string searchPattern = LogFileName(-1, naming);
        // Every entry under a dated name counts, not only regular files: a day whose file is
        // a directory, a pipe or a link to nothing stays in the range, so that the import
        // names it as unreadable instead of leaving the day out without a word.
        std::vector<std::string> names =
            ListEntryNames(NativePath(naming.logPath), FileNameOf(searchPattern));
        bool anyDated = false;
        bool lastScheduledDayListed = false;
        int32_t earliestDay = 0;
        int32_t latestDay = 0;
        for (const std::string& name : names) {
            const int32_t day =
                DayOfLogFileName(name, naming.prefix, naming.dateFormat, session.ThisYear());
            if (day < 0) continue;
            if (day == 0) break;  // a pattern no date can be read back from
            if (!anyDated || day < earliestDay) earliestDay = day;
            if (!anyDated || day > latestDay) latestDay = day;
            anyDated = true;
            if (day == lastScheduled.day) lastScheduledDayListed = true;
            const DayTime fileDate{day, 0.0f};
            if (DayTimeAfter(fileDate, lastScheduled)) {
                if (day < first.day) first = fileDate;
                if (DayTimeAfter(fileDate, last)) last = fileDate;
            }
        }

        const bool laterFiles = first.day != kNoFirstDay;
        if (!laterFiles) {
            first = {tomorrow, 0.0f};
            last = {tomorrow, kDayLastSecond};
            if (!anyDated) ShowWarning(ui, kNoDatedFilesText);
        } else if (first.day == last.day) {
            ScanDayFile(session, naming, first.day, &first, &last);
        } else {
            ScanDayFile(session, naming, first.day, &first, nullptr);
            DayTime lastFirst{0, 0.0f};
            DayTime lastLast{0, 0.0f};
            ScanHeaders(session, LogFileName(last.day, naming), ScanFilter{last.day, {0, 0.0f}},
                        lastFirst, lastLast);
            if (lastLast.day >= 1)
                last = lastLast;
            else if (FileLength(LogFileName(last.day, naming)) < 0)
                last = {last.day, kDayLastSecond};  // there but unreadable: the day stays whole
            else
                last = DayTimeSubtractSeconds(last, 3600);
            if (last.day < 1) last = {first.day, kDayLastSecond};
        }

        // A run stopped part-way through a day (killed, or the machine went down) left the
        // rest of that day unimported: when the day's file holds hours after the last
        // scheduled one, the range starts again at the first of them rather than at the next
        // day's file, which would lose them for good.
        DayTime resumeFirst{0, 0.0f};
        DayTime resumeLast{0, 0.0f};
        if (lastScheduledDayListed) {
            ScanHeaders(session, LogFileName(lastScheduled.day, naming),
                        ScanFilter{lastScheduled.day, lastScheduled}, resumeFirst, resumeLast);
        }
        const DayTime hole = FirstHole(session, db, naming, lastScheduled);
        if (resumeFirst.day >= 1) {
            if (!laterFiles) last = resumeLast;
            first = resumeFirst;
        } else if (hole.day < 1 && anyDated &&
                   DayTimeBefore(DayTime{latestDay, 0.0f}, lastScheduled)) {
            ScanDayFile(session, naming, latestDay, &first, &last);
            ShowInformation(ui, kNothingNewText);
        }
        if (hole.day >= 1 && DayTimeBefore(hole, first)) {
            // From the hole on; the hours after it that are in the log are not sent again.
            if (!laterFiles && resumeFirst.day < 1) last = lastScheduled;
            first = hole;
        }
    }

    fields.startDate = RangeDateText(first.day);
    fields.startHour = HourText(first.seconds);
    fields.endDate = RangeDateText(last.day);
    fields.endHour = HourText(last.seconds);
    db.Close();
}

}  // namespace vantor
