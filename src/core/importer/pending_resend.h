#pragma once
// A re-send removes a range and then imports it again. Killed in between (or part-way through
// either half), it would leave hours missing that no later import proposes: the end of the
// schedules is still after them. So the range is recorded in the playout database's own
// Settings table before anything is removed and cleared once its import has run; the next
// "/AUTO" finds it there and does the re-send again, whole, before anything else.

#include <optional>
#include <string>

#include "importer/range_fields.h"

namespace vantor {

class DatabaseStore;
class UserInterface;

// The Settings key of the recorded range ("<day> <seconds> <day> <seconds>").
inline constexpr const char* kPendingReSendKey = "MUSIC.PendingReSend";

// Records range as the re-send in progress in the playout database name of store, or clears
// the record when range is null. False (reported) when the database or its Settings table
// cannot be written.
[[nodiscard]] bool RecordPendingReSend(UserInterface& ui, const DatabaseStore& store,
                                       const std::string& name, const RangeStamps* range);

// The re-send recorded and not finished, if any.
std::optional<RangeStamps> PendingReSend(const DatabaseStore& store, const std::string& name);

}  // namespace vantor
