#pragma once
// The hour import: walks a range of hours day by day, reads each day's scheduler log forward
// once, and writes every hour that is not yet in the playout log as one transaction: its hour
// start, one entry per item and break note, and the mark that the hour was imported. After
// each hour it recalculates the hour's start times and reports an hour that may under-run.

#include <string>
#include <vector>

#include "common/day_time.h"
#include "importer/import_entry.h"
#include "importer/import_settings.h"
#include "importer/scheduler_log.h"
#include "importer/start_times.h"

namespace vantor {

class Clock;
class Database;
class TableCursor;
class UserInterface;
struct AudiowallState;
struct ImportPreview;

// What the hour import needs from the session and the run that calls it.
struct HourImportContext {
    UserInterface& ui;
    const Clock& clock;              // the date written as "last sent"; the year of bare dates
    AudiowallState& audiowall;       // carts are checked and timed against it
    const ImportSettings& settings;  // cart ranges and the under-run threshold
    SchedulerLogNaming logFiles;     // where the day files are (from the database's settings)
    StartTimeOptions timing;         // sweeper and split timing (from the database's settings)
    std::string errorLogPath;        // the error report file (error.log)
    // The "was not re-sent" lines written to the error report: hours already in the log.
    int hoursNotResent = 0;
    // An hour that has no rows in the Log table yet is held in memory, timed there and written
    // once with its final times. Off, every hour is written first and then timed by the walk
    // over the table, as hours inserted among existing rows are: the two must give the same
    // rows, which the tests compare.
    bool freshHoursInMemory = true;
    // Set for a preview: the database is open for reading only, nothing is written or reported
    // to a file, and each hour is described in the preview instead. Messages shown meanwhile
    // (through a user interface that keeps them) are collected in previewMessages and handed
    // to the hour or day they came up in.
    ImportPreview* preview = nullptr;
    std::vector<std::string>* previewMessages = nullptr;
    // The import purges the days up to this one before it starts: a preview does not see
    // their hours in the Log table.
    int32_t previewPurgedThroughDay = -1;
    // Set for an import that keeps a record of its run: each day and hour it walks is
    // described there as the import settled it, in the preview's terms, with the lines of the
    // error report about it as its messages. Nothing is read twice from the day files.
    ImportPreview* record = nullptr;
};

// Whether an hour of this length is reported as one that may under-run.
bool MayUnderrun(float length, const ImportSettings& settings);

// Imports the hours from start to end (both stamps; the end hour is included whole) into the
// open playout database (or previews the import, see HourImportContext::preview). False when
// there is no open database, the Log table cannot be opened, or the database could no longer be
// reached in the middle of the range (each reported; the hour in progress is rolled back and
// the run stops there). Problems with single hours go to the error report file or are shown,
// and the range is still walked to its end.
bool ImportHours(Database& database, const DayTime& start, const DayTime& end,
                 HourImportContext& context);

// Fills the cleared entry from an item line and its continuation lines: the kind by the cart
// number's range (jingles, sweepers, adverts, cart groups, songs, tested in that order), the
// ending and end codes. Returns the progress text of the kind ("Adding Song" ...).
std::string FillItemEntry(const SchedulerItem& item, const CartRanges& ranges, bool softDeleteSongs,
                          ImportEntry& entry);

// The EntryFlags of an hour start marked as imported: bit 1 set, the bits from 15 upward set or
// cleared with hourFlag.
int32_t ImportedHourFlags(int32_t flags, bool hourFlag);

// Marks the hour's hour start as imported: Information1 = hourMode, EntryFlags bit 1 set and
// the bits from 15 upward set or cleared with hourFlag. False when the hour start is missing or
// cannot be stored.
bool FinishHour(TableCursor& log, const DayTime& hourStamp, int32_t hourMode, bool hourFlag);

}  // namespace vantor
