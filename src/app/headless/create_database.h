#pragma once
// "--create-database=NAME.MDB": a new Kora playout database in the data location's SCHEDULE
// directory, made the way the database chooser's "Create a New Database" makes one, without
// its questions, so that a fresh installation gets its first database without a window.

#include <optional>
#include <string>

namespace vantor {

class Session;

// Creates the database and brings its tables up to date; returns the exit status. A given
// description is stored trimmed, even when that leaves it empty (the chooser then shows the
// file name); without one the database is described by its reference name.
int CreateKoraDatabase(Session& session, const std::string& fileName,
                       const std::optional<std::string>& description);

}  // namespace vantor
