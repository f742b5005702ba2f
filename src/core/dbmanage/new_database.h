#pragma once
// A new database in a directory of databases: the rules for its name and its making, shared
// by the database chooser ("Create a New Database", "Copy Database") and by
// "--create-database", so that a name one of them refuses the other refuses too.

#include <cstdint>
#include <optional>
#include <string>

#include "common/user_interface.h"

namespace vantor {

struct NewDatabaseName {
    std::string reference;  // the name as typed, trimmed ("STUDIO2")
    std::string path;       // the file in the directory: reference + ".MDB"
};

// Checks the reference name typed for a new database in directory: a plain name (not blank, no
// directory, no extension of its own; "/" leads elsewhere here as "\" does on the stations),
// not "Backup" in any letter case, and no database of that name there yet. Nothing after the
// message that says what is wrong.
std::optional<NewDatabaseName> CheckNewDatabaseName(UserInterface& ui, const std::string& directory,
                                                    const std::string& typed);

// Makes the new database file of the given type with its description row. Without a
// description the operator is asked for one (the reference name offered); a given one is
// stored trimmed, even when that leaves it empty (the chooser then shows the file name).
// 0, or the error number (reported). stored, when given, receives the description stored.
int CreateNewDatabase(UserInterface& ui, const NewDatabaseName& name, int32_t type,
                      const std::optional<std::string>& description, std::string* stored = nullptr);

}  // namespace vantor
