#pragma once
// Break notes: the ":" lines of a scheduler log. Their text, from column 15, names an advert
// break or a split, carries a command for the playout log, switches a mode of the hour being
// imported, or is a plain text or cart reference.

#include <string_view>

#include "common/day_time.h"
#include "importer/import_entry.h"

namespace vantor {

class UserInterface;

// Where operators are sent when a log asks for something this importer cannot do.
inline constexpr const char* kSupportEmail = "support@tressel.com";

// Decodes one ":" line (raw 8-bit) into the cleared entry; mode switches change the hour's
// state instead. Returns whether an entry is to be added. hourStamp is the hour being
// imported: times inside notes count from its start.
bool ParseBreakNote(const DayTime& hourStamp, std::string_view rawLine, ImportEntry& entry,
                    HourState& hour, UserInterface& ui);

}  // namespace vantor
