#pragma once
// Where the installation's databases live: a directory of .MDB files (one workstation, the
// default) or the schemas of one database server (a station's shared databases). Everything
// that lists, creates, opens, copies, renames, deletes or compacts a database by its name
// goes through a store, so the callers above the engine never build a path themselves and
// treat both places alike.
//
// Names are the file names the installation knows ("KORA26.MDB"); letter case does not tell
// two databases apart.

#include <memory>
#include <string>
#include <vector>

#include "dbengine/engine.h"

namespace vantor {

class DatabaseStore {
  public:
    virtual ~DatabaseStore() = default;

    // Where the databases are, as messages name it: the directory, or the server.
    virtual std::string Location() const = 0;
    // True for a store on a database server.
    virtual bool OnServer() const = 0;
    // The names of every database, in name order as the stations' file systems list them.
    virtual std::vector<std::string> List() const = 0;
    // What messages and the file layer call a database: its path, or on a server its name.
    virtual std::string Address(const std::string& name) const = 0;
    // Whether the store can be used: a server answers (and has its catalogue, made when
    // missing); 3051 naming the server and its reason otherwise. A directory always can.
    [[nodiscard]] virtual DbError Prepare() const = 0;
    // True when a database of this name is there (an empty file is none: it was never made).
    virtual bool Exists(const std::string& name) const = 0;

    // Opens the database (3024 when there is none) and holds it in use while open.
    [[nodiscard]] virtual DbError Open(const std::string& name, Database& db) const = 0;
    // Opens it for a caller that only reads: a file is opened read-only (nothing is written
    // to it or beside it); on a server a reader never holds up a writer, so it is opened as
    // by Open.
    [[nodiscard]] virtual DbError OpenReadOnly(const std::string& name, Database& db) const = 0;
    // Makes a new, empty database and leaves it open; 3204 when it exists.
    [[nodiscard]] virtual DbError Create(const std::string& name, Database& db,
                                         FileAccess access = FileAccess::Shared) const = 0;
    // A copy of everything committed in from, under a new name that must be free (3204).
    // Nothing of a failed copy is left.
    [[nodiscard]] virtual DbError Copy(const std::string& from, const std::string& to) const = 0;
    // 3045 while another program holds from; 58 when to exists (it is never replaced).
    [[nodiscard]] virtual DbError Rename(const std::string& from, const std::string& to) const = 0;
    // 3045 while another program holds the database; a missing one is no error.
    [[nodiscard]] virtual DbError Remove(const std::string& name) const = 0;
    // True when some program holds the database open.
    virtual bool IsInUse(const std::string& name) const = 0;
    // Compacts (repairs) a database nobody holds: 3045 while another program holds it. A file
    // keeps its old version beside it as backupName (the caller picks it); a server keeps
    // no backup of its own (pg_dump is the station's backup).
    [[nodiscard]] virtual DbError Compact(const std::string& name,
                                          const std::string& backupName) const = 0;
};

// Puts the compacted copy temporary in the place of file, the old file going aside as backup
// first and coming back if the copy cannot take its place; the copy is removed on failure.
[[nodiscard]] DbError SwapInCompactedFile(const std::string& file, const std::string& temporary,
                                          const std::string& backup);

// The .MDB files of a directory.
std::unique_ptr<DatabaseStore> MakeFileStore(const std::string& directory);

// A database file named by its path, as the store of its directory and its name there: what
// a caller handed a path passes to the routines that open databases through a store.
struct FileInStore {
    std::unique_ptr<DatabaseStore> store;
    std::string name;
};
FileInStore FileStoreOf(const std::string& path);
// The databases kept on the server of conninfo (libpq's connection string).
std::unique_ptr<DatabaseStore> MakeServerStore(const std::string& conninfo);

// True when a libpq connection string carries a password, which belongs in ~/.pgpass or
// PGPASSWORD and never in a settings file.
bool ConninfoHasPassword(const std::string& conninfo);
// The connection string without its password (the same text when it has none).
std::string ConninfoWithoutPassword(const std::string& conninfo);

// Copies a database of one store into a new database of another (or the same) store, every
// table row for row, in one transaction: 3204 when the target exists; nothing of a failed copy
// is left.
[[nodiscard]] DbError CopyDatabase(const DatabaseStore& from, const std::string& fromName,
                                   const DatabaseStore& to, const std::string& toName);

// Copies every table (fields, indexes and rows, row for row) of an open database into another
// open, empty one; the first failure comes back and the target is left to the caller.
[[nodiscard]] DbError CopyDatabaseContents(const Database& from, Database& to);

}  // namespace vantor
