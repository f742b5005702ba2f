#pragma once
// The Log table of a playout database. The running order is one row
// per item, ordered by a single double key, QIndex, that encodes day, hour and position within
// the hour.

#include <array>
#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/day_time.h"
#include "dbengine/database_store.h"
#include "dbengine/engine.h"

namespace vantor {

// ---------------------------------------------------------------------------------------------
// The Log table's row

// One column of the Log table: name, declared type and width, and the value a new row starts
// with (Null for the columns a new row leaves unset).
struct LogEntryColumn {
    std::string_view name;
    FieldType type;
    int size;
    DbValue newRowValue;
};

// The row of the Log table. Its column names are constants so that a misspelt name does not
// compile: cursor.Set(LogEntry::Description1, title).
namespace LogEntry {
inline constexpr int kColumnCount = 44;
// The 44 columns in table order.
const std::array<LogEntryColumn, kColumnCount>& Columns();

inline constexpr std::string_view QIndex = "QIndex";
inline constexpr std::string_view EntryType = "EntryType";
inline constexpr std::string_view EntryStatus = "EntryStatus";
inline constexpr std::string_view EntryFlags = "EntryFlags";
inline constexpr std::string_view OriginalEntryFlags = "OriginalEntryFlags";
inline constexpr std::string_view EstimatedStartTime = "EstimatedStartTime";
inline constexpr std::string_view ReferenceStartTime = "ReferenceStartTime";
inline constexpr std::string_view ScheduledLength = "ScheduledLength";
inline constexpr std::string_view EstimatedLength = "EstimatedLength";
inline constexpr std::string_view ItemReference = "ItemReference";
inline constexpr std::string_view SchedulerReference = "SchedulerReference";
inline constexpr std::string_view HDReference = "HDReference";
inline constexpr std::string_view Description1 = "Description1";
inline constexpr std::string_view Description2 = "Description2";
inline constexpr std::string_view Description3 = "Description3";
inline constexpr std::string_view Description4 = "Description4";
inline constexpr std::string_view EndingType = "EndingType";
inline constexpr std::string_view ScheduledEndType = "ScheduledEndType";
inline constexpr std::string_view ActualEndType = "ActualEndType";
inline constexpr std::string_view Information1 = "Information1";
inline constexpr std::string_view Information2 = "Information2";
inline constexpr std::string_view Information3 = "Information3";
inline constexpr std::string_view Information4 = "Information4";
inline constexpr std::string_view InformationString1 = "InformationString1";
inline constexpr std::string_view InformationString2 = "InformationString2";
inline constexpr std::string_view InformationString3 = "InformationString3";
inline constexpr std::string_view InformationString4 = "InformationString4";
inline constexpr std::string_view PreCueOverride = "PreCueOverride";
inline constexpr std::string_view ExtroOverride = "ExtroOverride";
inline constexpr std::string_view HardwareEndTestNumber1 = "HardwareEndTestNumber1";
inline constexpr std::string_view HardwareEndTestState1 = "HardwareEndTestState1";
inline constexpr std::string_view HardwareEndTestNumber2 = "HardwareEndTestNumber2";
inline constexpr std::string_view HardwareEndTestState2 = "HardwareEndTestState2";
inline constexpr std::string_view PlayedDate = "PlayedDate";
inline constexpr std::string_view PlayedTime = "PlayedTime";
inline constexpr std::string_view PlayedLength = "PlayedLength";
inline constexpr std::string_view PlayedTerminal = "PlayedTerminal";
inline constexpr std::string_view Notes = "Notes";
inline constexpr std::string_view WEB_Text = "WEB_Text";
inline constexpr std::string_view DAB_Text = "DAB_Text";
inline constexpr std::string_view RDS_Text = "RDS_Text";
inline constexpr std::string_view SegueCodes = "SegueCodes";
inline constexpr std::string_view AutoFadeStart = "AutoFadeStart";
inline constexpr std::string_view AutoFadeLength = "AutoFadeLength";
}  // namespace LogEntry

// Kinds of entry (the EntryType column).
enum class EntryType : int32_t {
    Source = 0,
    Time = 1,
    Cart = 2,
    Link = 3,  // jingles and sweepers are filed here
    Advert = 4,
    Hardware = 5,
    RotaplanFrame = 6,
    Song = 7,
    TextMessage = 8,
    Brixel = 9,
    Empty = 10,
    Command = 11,
    SplCart = 12,
    SplGroup = 13,  // cart groups are filed here
    SplAdvert = 14,
    HourStart = 98,  // opens every hour
};

// Display names of the entry types, indexed by code: 4 characters and up to 20 characters.
// "" for a code without a name (HourStart, unknown codes).
std::string_view EntryTypeShortName(int32_t code);
std::string_view EntryTypeLongName(int32_t code);

// Whether entries of this type carry audio: narrow = carts, links and songs only; otherwise
// adverts and voice links (Brixel) too.
bool IsAudioEntryType(int32_t type, bool narrow);

// Bits of the EntryStatus column.
namespace EntryStatus {
inline constexpr int32_t kCommand = 1;      // set on the entries of some scheduler commands
inline constexpr int32_t kReady = 2;        // placed by the importer, ready to play
inline constexpr int32_t kSoftDeleted = 4;  // song imported while the hour soft-deletes songs
inline constexpr int32_t kSkipped = 8;      // left out of the timing
inline constexpr int32_t kOptional = 16;    // left out of the timing when asked
}  // namespace EntryStatus

// Bits of the EntryFlags column.
namespace EntryFlags {
inline constexpr int32_t kImported = 1;  // hour start: a music log was imported into the hour;
                                         // other entries: scheduler ending code "#" or "+"
// Hour start: the bits from value 32768 upward carry the hour's HourFlag.
inline constexpr int32_t kHourFlagBits = static_cast<int32_t>(0xFFFF8000u);
}  // namespace EntryFlags

// End types (ScheduledEndType, ActualEndType).
inline constexpr int32_t kEndTypeNone = 0;
inline constexpr int32_t kEndTypeNormal = 50;    // a new row's value
inline constexpr int32_t kEndTypeSweeper = 100;  // overlapped with the audio item after it

// ---------------------------------------------------------------------------------------------
// QIndex: whole part = days from 31 December 1999, fraction = time of day

// Day number (on the serial date scale) of day 0 of the QIndex scale.
inline constexpr int32_t kQIndexDayOffset = 36525;
// Five seconds of the day, from the single-precision value of one second: the distance
// between consecutive keys of an hour.
inline constexpr double QIndexStep = 5.0 * static_cast<double>(static_cast<float>(1.0 / 86400.0));

double HourStartQIndex(const DayTime& stamp);
double HourEndQIndex(const DayTime& stamp);
// The start of the hour that holds q (a key a hair below the next second counts as that
// second, so that rounding in the key never moves an entry into the hour before).
DayTime DayTimeOfQIndex(double q);
double HourStartOfQIndex(double q);
int32_t DayOfQIndex(double q);

// ---------------------------------------------------------------------------------------------
// Table access

// Opens the table "Log" for direct access on the index "Main" (ascending QIndex).
DbError OpenLogTable(Database& db, TableCursor& cursor);

// The position of a Log column among the cursor's fields, -1 when the table lacks it. Code that
// writes many rows uses it: a column passed as its LogEntry constant is first looked for where
// the table layout puts it, which saves the lookup by name in tables this program created.
int LogFieldIndex(const TableCursor& cursor, std::string_view column);
// The same for a caller that names the columns mostly in table order: the search for the
// constant starts where the previous one was found (from, which it moves on).
int LogFieldIndex(const TableCursor& cursor, std::string_view column, size_t& from);

// A set of Log columns, by their positions in LogEntry::Columns().
using LogColumnSet = std::bitset<LogEntry::kColumnCount>;
// The position of a LogEntry constant in LogEntry::Columns(), -1 for another name.
int LogColumnPosition(std::string_view column);

// Starts a new row on the cursor with every new-row value and QIndex = q; does not store it.
// False when starting the row or setting a value failed (nothing is reported here). setLater
// names the columns the caller sets straight after: their new-row value is not set first where
// the table has them (a column the table lacks still fails here, as it would without them).
bool NewLogEntry(TableCursor& cursor, double q, const LogColumnSet& setLater = {});

// The number of rows whose key lies from first to last (both included), as this connection
// sees them (with its transaction's own writes).
DbError CountLogRows(Database& db, double first, double last, int64_t& count);

struct LastScheduled {
    std::string text;  // "<long date> HH:59", "" when there is no schedule
    DayTime end;       // the end of the last scheduled hour, {0, 0} when none
};
// The end of the last hour in the Log table of the database file; any failure means no
// schedule, without a message.
LastScheduled LastScheduledHour(const std::string& databasePath);
// The same for the database name of a store.
LastScheduled LastScheduledHour(const DatabaseStore& store, const std::string& name);

}  // namespace vantor
