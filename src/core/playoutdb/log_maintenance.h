#pragma once
// Routines that change the Log table as a whole rather than one entry at a time: the
// start-time recalculation of an hour after it was imported, the removal of whole hours of a
// range, and the emptying of the Log and Songs tables. Part of the playout database routines
// (db_Routines_v25).

#include <cstdint>
#include <string>

#include "common/day_time.h"

namespace vantor {

class TableCursor;
class UserInterface;
struct AudiowallState;
struct CartRecord;

// The two playout settings the timing follows ("KORA.SweeperMode", "KORA.WaitSplitReturn").
struct StartTimeOptions {
    int32_t SweeperMode = 0;      // 2 ("Dry") lays no sweeper over the item after it
    int16_t WaitSplitReturn = 1;  // split items count the length they were given when set
};

struct DbSettings;
StartTimeOptions StartTimeOptionsOf(const DbSettings& settings);

// Seconds from the start of a sweeper to the start of the item laid under it.
float SweeperLead(const CartRecord& next, const CartRecord& sweeper);

// Walks the hour whose hour start is at hourStart on the Log cursor (open on "Main") and writes
// each entry's EstimatedStartTime and EstimatedLength from the running clock, the carts'
// lengths, absolute time entries and sweeper overlaps; stores the total in the hour start's
// EstimatedLength and returns it. An hour without entries after its hour start returns 0 and
// changes nothing. Failed edits are passed over: the times are a forecast, not the schedule.
float UpdateStartTimes(TableCursor& log, double hourStart, const DayTime& hourStamp,
                       AudiowallState& audiowall, const StartTimeOptions& options);

// Removes the hours of from..to whose character in the hour-of-week mask (168 characters,
// Monday 00:00 first) is not blank, one transaction per hour. True when every selected hour
// was removed, also when there was nothing to remove; false when the file is missing, cannot
// be brought up to date, or an hour failed (reported; the other hours are still removed).
bool RemoveLogHours(const std::string& databasePath, const DayTime& from, const DayTime& to,
                    const std::string& hourMask, UserInterface& ui);

// Empty the Log table or the Songs table, all or nothing.
bool RemoveAllLogEntries(const std::string& databasePath, UserInterface& ui);
bool EmptySongs(const std::string& databasePath, UserInterface& ui);

}  // namespace vantor
