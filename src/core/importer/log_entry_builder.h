#pragma once
// Turns an ImportEntry into a stored LogEntry: checks a named cart against the Audiowall,
// completes its length and descriptions, and adds the row at the running key.

#include <string>

#include "audiowall/cart_record.h"
#include "common/day_time.h"
#include "importer/hour_timing.h"
#include "importer/import_entry.h"

namespace vantor {

class Clock;
class ReportFile;
class TableCursor;
class UserInterface;
struct AudiowallState;

// What adding entries needs from the import in progress.
struct EntryTarget {
    TableCursor& log;           // the Log table on its "Main" index
    AudiowallState& audiowall;  // for the cart check
    UserInterface& ui;          // for the report of a row that cannot be stored
    const Clock& clock;         // stamps of report lines
    ReportFile& errorReport;    // the error report file, for missing carts
};

// Adds the entry at key q for the hour of hourStamp. On success q has advanced by one
// QIndexStep. A missing cart, or one without audio, is written to the error report file and
// the entry is still added. A row that cannot be stored (a key already taken, a key beyond the
// hour's last one) is reported and fails; so does a failure to start the row, unreported, as
// the caller reports the hour.
bool AddLogEntry(EntryTarget& target, double& q, const DayTime& hourStamp, ImportEntry& entry,
                 int32_t hourMode);

// AddLogEntry in two steps, for an hour that is held in memory until it is timed: the check
// and completion of the entry (cart, key), then the write of the row with the times given.
struct PreparedEntry {
    double q = 0;
    int32_t actualEndType = 0;  // from the scheduled end type and the hour's mode
    float estimatedStart = 0;   // the hour's start until the timing decides
    float estimatedLength = 0;  // the scheduled length until the timing decides
    bool cartMissing = false;   // a named cart is not in the Audiowall or has no audio
    int32_t cartNumber = 0;     // the cart the check read (0: none), and its record, which
    CartRecord cart;            // the timing of the held hour uses rather than read it again
};
// Checks the cart (reported to the error report file when missing) and the key; false (the key
// reported) when q lies past the hour's last key.
bool PrepareLogEntry(EntryTarget& target, double q, const DayTime& hourStamp, ImportEntry& entry,
                     int32_t hourMode, PreparedEntry& prepared);
// Stores the row; a row that cannot be stored is reported and fails.
bool WriteLogEntry(EntryTarget& target, const ImportEntry& entry, const PreparedEntry& prepared);
// The report of an entry whose row the database refused, the same whenever the refusal comes.
void ReportUnstoredEntry(EntryTarget& target, const ImportEntry& entry, const DbError& error);
// What the timing reads of the row once it is written.
TimedRow TimedRowOf(const TableCursor& log, const ImportEntry& entry,
                    const PreparedEntry& prepared);

}  // namespace vantor
