#pragma once
// The layer every database file of the installation goes
// through, whatever it holds: creating a file with its Description table, reading a file's
// description, single-key reads and writes of a Settings table, compacting with a backup of
// the old file, and changing a file's description.

#include <string>

#include "common/ole_date.h"
#include "common/user_interface.h"
#include "dbengine/database_store.h"
#include "dbengine/engine.h"

namespace vantor {

struct DatabaseInfo {
    std::string Path;
    std::string FileName;
    std::string Description;
    float Version = 0.0f;
    std::string EngineVersion;
    std::string Directory;
    int32_t Type = 0;
    OleDate LastAccessed = 0.0;
    std::string LastAccessedSoftware;
    std::string LastBackup;
};

// The description table of a file: "Description", or "dbo.Description" where another program
// of the family created it. "" when there is none.
std::string DescriptionTableOf(const Database& db);

// The layout version written into a new description row for a kind of database; Null for a
// kind without one.
DbValue DescriptionVersionForType(int32_t type);

// 0 when the file exists (created when needed, after asking unless dontAsk) with a Description
// table holding a row; -1 when the operator declined; otherwise the error number (reported).
// An empty description is asked for, and the one stored is returned in it. A file made here
// is readable by the accounts access says.
int EnsureDatabaseFile(UserInterface& ui, const std::string& path, int32_t type, bool dontAsk,
                       std::string& description, FileAccess access = FileAccess::Shared);

// The same for a database of a store, by name.
int EnsureDatabase(UserInterface& ui, const DatabaseStore& store, const std::string& name,
                   int32_t type, bool dontAsk, std::string& description,
                   FileAccess access = FileAccess::Shared);

// Success with info filled; otherwise the failure (reported when report is set). A file named
// HOURS is never read (unrecognised, unreported). A file the engine does not recognise is
// compacted (repaired) once first.
DbError ReadDatabaseInfo(UserInterface& ui, const std::string& path, DatabaseInfo& info,
                         bool report);

// The same for a database of a store: a database on a server has no file to repair, and its
// Directory is the server.
DbError ReadDatabaseInfo(UserInterface& ui, const DatabaseStore& store, const std::string& name,
                         DatabaseInfo& info, bool report);

// Settings rows, on a Settings table opened by the caller with the index "Main".
// The stored Value of the key (possibly Null), or defaultValue when there is no row.
DbValue GetDbSetting(TableCursor& settings, const std::string& key, const DbValue& defaultValue);
// Stores value under key; a value equal to defaultValue removes the key's row instead.
// Success, or the first failure (reported unless quiet).
DbError SetDbSetting(UserInterface& ui, TableCursor& settings, const std::string& key,
                     const DbValue& value, const DbValue& defaultValue, bool quiet);
// The runtime's comparison of two variant values as SetDbSetting uses it: a number equals a
// text only when the text reads as that number, and never the empty text; Null equals nothing.
bool VariantEquals(const DbValue& a, const DbValue& b);

// The name the old file of a database takes when a new one replaces it: "NAME-0001.BAK",
// "NAME-0002.BAK", ... beside it, the first that does not exist yet ("" when all are taken).
std::string FreeBackupName(const std::string& path);

// Compacts and repairs a closed database file into a temporary file, then renames the old file
// to the first free "NAME-0001.BAK" style name and the compacted file to the original name.
// With an empty path the operator chooses the file (only when fileDialog is set). Unless
// silent, asks first and confirms afterwards. The old file is never lost.
bool CompactDatabaseFile(UserInterface& ui, const std::string& path, bool fileDialog,
                         const std::string& startDirectory, bool silent);

// Replaces the title in the first row of the file's Description table (cut to the field's
// width). False when an argument is empty, the file is missing, or a step failed (reported).
bool EditDatabaseDescription(UserInterface& ui, const std::string& path,
                             const std::string& newDescription);
// The same for any text, an empty one too (a description left blank on purpose): 0, or the
// error number (reported).
int StoreDatabaseDescription(UserInterface& ui, const std::string& path, const std::string& text);
// Both for a database of a store, by name.
bool EditDatabaseDescription(UserInterface& ui, const DatabaseStore& store,
                             const std::string& name, const std::string& newDescription);
int StoreDatabaseDescription(UserInterface& ui, const DatabaseStore& store,
                             const std::string& name, const std::string& text);

}  // namespace vantor
