#pragma once
// A new database in a directory of databases: the rules for its name and its making, shared
// by the database chooser ("Create a New Database", "Copy Database") and by
// "--create-database", so that a name one of them refuses the other refuses too.

#include <cstdint>
#include <optional>
#include <string>

#include "common/user_interface.h"
#include "dbengine/database_store.h"

namespace vantor {

// How many characters a name typed for a database file may have. The file system holds 255
// bytes in a name; the engine adds its own files beside a database ("-journal", the lock file,
// the backups of a compaction), and a character of the stations' code page takes up to three
// bytes here. Far more than any station's reference needs.
inline constexpr size_t kMaxDatabaseNameCharacters = 48;

// Checks a name typed for a file in the directory of databases (a new database's reference,
// or the new file name of a rename) against what every file system of the installation can
// hold, and says what is wrong: "You must specify a valid reference name" for a name with a
// control character (a line end, a tab), a character a file name on the stations may not hold
// (\ / : * ? " < > |) or a leading "-" (which other programs would take for an option), or
// its own message for a name too long to be a file's. True when the name may be used.
bool CheckDatabaseFileName(UserInterface& ui, const std::string& name);

struct NewDatabaseName {
    std::string reference;  // the name as typed, trimmed ("STUDIO2")
    std::string path;       // the file in the directory: reference + ".MDB"
};

// Checks the reference name typed for a new database in directory: a plain name (not blank, no
// extension of its own, and one CheckDatabaseFileName accepts), not "Backup" in any letter
// case, and no database of that name there yet. Nothing after the
// message that says what is wrong.
std::optional<NewDatabaseName> CheckNewDatabaseName(UserInterface& ui, const std::string& directory,
                                                    const std::string& typed);

// The same among the databases of a store; path is then what the store calls the database.
std::optional<NewDatabaseName> CheckNewDatabaseName(UserInterface& ui, const DatabaseStore& store,
                                                    const std::string& typed);

// Makes the new database file of the given type with its description row. Without a
// description the operator is asked for one (the reference name offered); a given one is
// stored trimmed, even when that leaves it empty (the chooser then shows the file name).
// 0, or the error number (reported). stored, when given, receives the description stored.
int CreateNewDatabase(UserInterface& ui, const NewDatabaseName& name, int32_t type,
                      const std::optional<std::string>& description, std::string* stored = nullptr);
// The same in a store.
int CreateNewDatabase(UserInterface& ui, const DatabaseStore& store, const NewDatabaseName& name,
                      int32_t type, const std::optional<std::string>& description,
                      std::string* stored = nullptr);

}  // namespace vantor
