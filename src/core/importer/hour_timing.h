#pragma once
// The start-time recalculation of one hour over its rows held in memory: the running clock over
// the entries, the carts' lengths, absolute time entries and sweepers laid over the item after
// them. Both ways of timing an hour use it: the walk over rows already in the Log table reads
// them into this form and writes back what changed, and a fresh hour is timed here before any
// of its rows is written. One function for both keeps their rounding identical.

#include <cstdint>
#include <string>
#include <vector>

#include "common/day_time.h"

namespace vantor {

struct AudiowallState;
struct CartRecord;

// The two playout settings the timing follows ("KORA.SweeperMode", "KORA.WaitSplitReturn").
struct StartTimeOptions {
    int32_t SweeperMode = 0;      // 2 ("Dry") lays no sweeper over the item after it
    int16_t WaitSplitReturn = 1;  // split items count the length they were given when set
};

// One entry after the hour start, as the timing sees it: what it reads of the row, and what
// it decides for it.
struct TimedRow {
    double qIndex = 0;
    int32_t type = 0;
    int32_t status = 0;
    int32_t actualEndType = 0;
    int32_t cartNumber = 0;  // 0 when HDReference names no cart
    float referenceStart = 0;
    float estimatedStart = 0;  // as the row holds it before the timing
    float estimatedLength = 0;
    float extroOverride = 0;
    float information1 = 0;
    // The record of cartNumber when the caller read it already (it must outlive the timing);
    // else the timing reads it.
    const CartRecord* cart = nullptr;

    bool timed = false;  // the timing gave the row a start and a length (left-out entries and
                         // sweepers laid over the next item keep what they hold)
    float start = 0;
    float length = 0;

    // Whether the row's stored times must change.
    bool Changed() const { return timed && (estimatedStart != start || estimatedLength != length); }
};

// The cart number an HDReference text names, 0 when it names none.
int32_t CartNumberOfReference(const std::string& hdReference);

// Seconds from the start of a sweeper to the start of the item laid under it.
float SweeperLead(const CartRecord& next, const CartRecord& sweeper);

// Times the rows of the hour that starts at hourStamp (the entries after its hour start, in key
// order, up to the next hour start or the end of the table) and returns the hour's total.
float TimeHourRows(std::vector<TimedRow>& rows, const DayTime& hourStamp, AudiowallState& audiowall,
                   const StartTimeOptions& options);

}  // namespace vantor
