#pragma once
// One import run: what "Begin Importing", the "/AUTO" start and the re-send menu item start.
// It checks the range, the playout database and the logs directory, clears and rotates the
// two report files, purges old entries when asked to, hands the range to the hour import,
// stores the cart ranges in the database's settings, records the user history event and tells
// the operator how it went.

#include <string>

#include "common/day_time.h"
#include "importer/import_preview.h"
#include "importer/range_fields.h"

namespace vantor {

class Database;
class DatabaseStore;
class Session;
class UserInterface;
struct DbSettings;

enum class [[nodiscard]] ImportRunOutcome {
    Stopped,    // a check stopped the run before anything was written
    Abandoned,  // the hour import failed (its Log table could not be opened)
    Imported,   // the hour import walked the whole range
};

struct [[nodiscard]] ImportRunResult {
    ImportRunOutcome outcome = ImportRunOutcome::Stopped;
    bool errorReportShown = false;  // the error report file was not empty and was shown
    // The report holds more than hours already in the log that were not sent again: a
    // problem (a missing cart, an hour that may under-run, a lost or failed hour, ...).
    bool errorReportHoldsProblem = false;
    // What the run did with each day and hour of its range, in the preview's terms; no days
    // when a check stopped it.
    ImportPreview record;
    // What the callers test: the run got as far as its user history event.
    bool Ran() const { return outcome != ImportRunOutcome::Stopped; }
};

// The history file is started afresh once it has grown to this size.
inline constexpr long long kHistoryLogLimit = 500000;
// The action and statuses of the user history event of an import.
inline constexpr int kImportHistoryAction = 101;

// "<long date> hh:mm to <long date> hh:mm".
std::string RangeText(const DayTime& start, const DayTime& end);

// Shows the import progress window with its texts and bars cleared from the last run.
void ShowFreshImportProgress(UserInterface& ui);

enum class DatabaseAccess { ReadWrite, ReadOnly };

// The checks before a run on the playout database name of store: it is there and opens (for
// reading only when asked), its settings are read into settings, and the logs directory they
// name exists. False, with the refusal shown and db closed, when one fails.
[[nodiscard]] bool OpenDatabaseForRun(Session& session, const DatabaseStore& store,
                                      const std::string& name, DatabaseAccess access,
                                      Database& db, DbSettings& settings);

// Runs an import of the range the fields hold (checked first, as typed) into the playout
// database name of store. The caller redraws its own state from the result.
[[nodiscard]] ImportRunResult RunImport(Session& session, const RangeFields& fields,
                                        const DatabaseStore& store, const std::string& name);

}  // namespace vantor
