#pragma once
// The start-time recalculation of an imported hour: the running clock over its entries, the
// carts' lengths, absolute time entries and sweepers laid over the item after them.

#include <cstdint>

#include "common/day_time.h"

namespace vantor {

class TableCursor;
struct AudiowallState;
struct CartRecord;
struct DbSettings;

// The two playout settings the timing follows ("KORA.SweeperMode", "KORA.WaitSplitReturn").
struct StartTimeOptions {
    int32_t SweeperMode = 0;      // 2 ("Dry") lays no sweeper over the item after it
    int16_t WaitSplitReturn = 1;  // split items count the length they were given when set
};

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

}  // namespace vantor
