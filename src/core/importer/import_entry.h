#pragma once
// The record every imported row passes through before it becomes a LogEntry, and the
// per-hour switches that break notes set while an hour is read.

#include <cstdint>
#include <string>

#include "playoutdb/log_table.h"

namespace vantor {

struct ImportEntry {
    int32_t EntryType = 0;
    int32_t EntryFlags = 0;
    int32_t EntryStatus = 0;
    float ReferenceStartTime = 0;  // seconds since midnight
    std::string Description1;
    std::string Description2;
    std::string Description3;
    std::string Description4;
    float Information1 = 0;
    float Information2 = 0;
    float Information3 = 0;
    float Information4 = 0;
    std::string ItemReference;
    std::string SchedulerReference;
    std::string HDReference;     // the cart number as text
    double ScheduledLength = 0;  // seconds; also written as EstimatedLength
    int16_t HardwareEndTestNumber1 = 0;
    int16_t HardwareEndTestNumber2 = 0;
    int16_t HardwareEndTestState1 = 0;
    int16_t HardwareEndTestState2 = 0;
    std::string Notes;
    int32_t EndingType = 0;
    int32_t ScheduledEndType = 50;
};

// Gives every field its cleared value; done before the hour start and before every line, so
// that nothing of one line leaks into the next entry.
void ClearEntry(ImportEntry& entry);

// The switches of the hour being imported, reset at every hour start and changed by notes.
struct HourState {
    bool bSoftDeleteSongs = false;  // songs get status bit 4 while set
    bool HourFlag = false;          // stored into the hour start's flags from bit 15 upward
    int32_t HourMode = 1;           // 1 or 2; decides ActualEndType and the hour's Information1
};

// The code of an entry type as the EntryType column and ImportEntry hold it.
constexpr int32_t TypeCode(EntryType type) {
    return static_cast<int32_t>(type);
}

}  // namespace vantor
