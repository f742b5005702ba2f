#pragma once
// The preview of an import: the same reading of the scheduler's day files, entry building,
// cart look-ups and start-time calculation as an import of the range, with nothing written:
// the playout database is opened for reading only, and no report, history or settings change
// is made. It says per hour what the import would do, how long the hour would run and which
// carts are missing, so that the staff can mend a log before it reaches the running order.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/day_time.h"
#include "importer/range_fields.h"

namespace vantor {

class DatabaseStore;
class Session;

enum class PreviewHourStatus {
    New,                 // the import would add the hour
    AlreadyInLog,        // the hour was sent before and would be left as it is
    NotInSchedulerFile,  // the day file holds no hour for it
    Failed,              // the import would roll the hour back (reason says why)
};

// "new", "already in the log", "no hour in the scheduler's file", "failed".
std::string_view PreviewHourStatusText(PreviewHourStatus status);

// An entry the import would add, with the times it would write.
struct PreviewEntry {
    int position = 0;  // 1 for the first entry after the hour start
    int32_t type = 0;  // the entry type code
    std::string cart;  // the cart number as the entry names it ("" for none)
    std::string title;
    float start = 0;           // seconds since midnight
    float length = 0;          // seconds
    bool cartMissing = false;  // the cart is not in the Audiowall or has no audio
    // The running clock gave it its times; the times of an entry it leaves out (a break note,
    // a sweeper laid over the next item) are the hour's start and its scheduled length.
    bool timed = false;
};

struct PreviewHour {
    DayTime hour{0, 0.0f};
    PreviewHourStatus status = PreviewHourStatus::NotInSchedulerFile;
    std::string reason;          // why the hour would fail
    bool lost = false;           // not found because the day file could not be read there
    bool insertedAfter = false;  // an hour start without songs was there: entries go after it
    int entries = 0;             // entries after the hour start once the import is done
    bool timed = false;          // the hour has rows to time (its length below is known)
    float length = 0;            // seconds, as the import would store it
    bool underrun = false;       // shorter than the under-run threshold
    std::vector<PreviewEntry> newEntries;
    std::vector<std::string> messages;  // what the import would show the operator

    int MissingCarts() const;
    // Whether the import would report anything about this hour.
    bool Noteworthy() const;
    // Whether that report is more than "already in the log": a re-run over imported hours
    // reports them and needs no one's attention.
    bool NeedsAttention() const;
};

struct PreviewDay {
    int32_t day = 0;
    std::string logFile;  // the day file the import would read
    bool fileMissing = false;  // or there but unreadable (below): the day is not imported
    std::string unreadable;    // why the file that is there cannot be read
    std::vector<PreviewHour> hours;
    std::vector<std::string> messages;  // shown for the day as a whole
};

struct PreviewSummary {
    int newHours = 0;
    int alreadyInLog = 0;
    int failed = 0;
    int notInSchedulerFile = 0;
    int entries = 0;  // the entries the import would add
    int missingCarts = 0;
    int underruns = 0;
    int missingDayFiles = 0;
};

struct ImportPreview {
    DayTime start{0, 0.0f};
    DayTime end{0, 0.0f};
    std::string database;
    float underrunningDuration = 0;
    std::vector<PreviewDay> days;

    PreviewSummary Summary() const;
    // True when every hour would import without a line in the error report or a message.
    bool Clean() const;
    // True when some hour or day needs attention (see PreviewHour::NeedsAttention): what makes
    // an unattended preview end with status 4, as the import itself does.
    bool NeedsAttention() const;
};

enum class [[nodiscard]] PreviewRunOutcome{
    Stopped,    // a check of the range, the database or the logs directory stopped it (shown)
    Abandoned,  // the Log table could not be read (shown)
    Previewed,
};

struct [[nodiscard]] PreviewRunResult {
    PreviewRunOutcome outcome = PreviewRunOutcome::Stopped;
    ImportPreview preview;
};

// Previews an import of the range the fields hold (checked first, as an import checks it) into
// the playout database at databasePath, with the session's Audiowall and settings. Writes
// nothing anywhere; what the import would show comes back in the preview instead.
[[nodiscard]] PreviewRunResult PreviewImport(Session& session, const RangeFields& fields,
                                             const std::string& databasePath);
// The same for the playout database name of store.
[[nodiscard]] PreviewRunResult PreviewImport(Session& session, const RangeFields& fields,
                                             const DatabaseStore& store, const std::string& name);

// The preview as text for the viewer and standard output: one block per day, one line per hour
// with its missing carts, messages and entries, and a summary line at the end.
std::string PreviewText(const ImportPreview& preview);
// The summary line alone.
std::string PreviewSummaryText(const PreviewSummary& summary);

// The preview as one JSON document (hours, entries with their start times, missing carts,
// messages, summary).
std::string PreviewJson(const ImportPreview& preview);

}  // namespace vantor
