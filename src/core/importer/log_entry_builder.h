#pragma once
// Turns an ImportEntry into a stored LogEntry: checks a named cart against the Audiowall,
// completes its length and descriptions, and adds the row at the running key.

#include <string>

#include "common/day_time.h"
#include "importer/import_entry.h"

namespace vantor {

class Clock;
class TableCursor;
class UserInterface;
struct AudiowallState;

// What adding entries needs from the import in progress.
struct EntryTarget {
    TableCursor& log;           // the Log table on its "Main" index
    AudiowallState& audiowall;  // for the cart check
    UserInterface& ui;          // for the report of a row that cannot be stored
    const Clock& clock;         // stamps of report lines
    std::string errorLogPath;   // the error report file, for missing carts
};

// Adds the entry at key q for the hour of hourStamp. On success q has advanced by one
// QIndexStep. A missing cart, or one without audio, is written to the error report file and
// the entry is still added. A row that cannot be stored (a key already taken, a key beyond the
// hour's last one) is reported and fails; so does a failure to start the row, unreported, as
// the caller reports the hour.
bool AddLogEntry(EntryTarget& target, double& q, const DayTime& hourStamp, ImportEntry& entry,
                 int32_t hourMode);

}  // namespace vantor
