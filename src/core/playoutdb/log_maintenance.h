#pragma once
// Routines that change the Log table as a whole rather than one entry at a time: the removal
// of whole hours of a range, and the emptying of the Log and Songs tables.

#include <cstdint>
#include <string>

#include "common/day_time.h"
#include "dbengine/database_store.h"

namespace vantor {

class UserInterface;

// Removes the hours of from..to whose character in the hour-of-week mask (168 characters,
// Monday 00:00 first) is not blank, one transaction per hour. True when every selected hour
// was removed, also when there was nothing to remove; false when the file is missing, cannot
// be brought up to date, or an hour failed (reported; the other hours are still removed).
bool RemoveLogHours(const DatabaseStore& store, const std::string& name, const DayTime& from,
                    const DayTime& to, const std::string& hourMask, UserInterface& ui);

// Empty the Log table or the Songs table, all or nothing.
bool RemoveAllLogEntries(const DatabaseStore& store, const std::string& name, UserInterface& ui);
bool EmptySongs(const DatabaseStore& store, const std::string& name, UserInterface& ui);

// The same for the database file at databasePath.
bool RemoveLogHours(const std::string& databasePath, const DayTime& from, const DayTime& to,
                    const std::string& hourMask, UserInterface& ui);
bool RemoveAllLogEntries(const std::string& databasePath, UserInterface& ui);
bool EmptySongs(const std::string& databasePath, UserInterface& ui);

}  // namespace vantor
