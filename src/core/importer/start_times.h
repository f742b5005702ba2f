#pragma once
// The start-time recalculation of an hour already in the Log table: the rows are read, timed
// in memory (importer/hour_timing.h) and the times that changed are written back.

#include <cstdint>
#include <vector>

#include "common/day_time.h"
#include "dbengine/engine.h"
#include "importer/hour_timing.h"

namespace vantor {

class TableCursor;
struct AudiowallState;
struct DbSettings;

StartTimeOptions StartTimeOptionsOf(const DbSettings& settings);

struct StartTimesResult {
    float total = 0;  // the hour's length in seconds
    DbError error;    // a read or an edit that failed; the caller rolls the hour back
};

// Reads the rows after the key hourStart, in key order, up to the next hour start or the end of
// the table: what the timing of that hour sees.
[[nodiscard]] DbError ReadHourRows(TableCursor& log, double hourStart, std::vector<TimedRow>& rows);

// Walks the hour whose hour start is at hourStart on the Log cursor (open on "Main") and writes
// each entry's EstimatedStartTime and EstimatedLength from the running clock, the carts'
// lengths, absolute time entries and sweeper overlaps; stores the total in the hour start's
// EstimatedLength and returns it. An hour without entries after its hour start returns 0 and
// changes nothing. Run it inside the transaction that holds the hour, so that a failed edit
// (reported in the result) can take the whole hour back and no reader sees the hour half timed.
[[nodiscard]] StartTimesResult UpdateStartTimes(TableCursor& log, double hourStart,
                                                const DayTime& hourStamp, AudiowallState& audiowall,
                                                const StartTimeOptions& options);

}  // namespace vantor
