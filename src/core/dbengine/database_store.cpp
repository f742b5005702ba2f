// The store of databases kept as .MDB files in one directory, and the copy of one database's
// contents into another that moving a database between stores needs.

#include "dbengine/database_store.h"

#include <filesystem>
#include <system_error>

#include "common/files.h"
#include "common/problem_report.h"
#include "common/paths.h"
#include "common/text.h"

namespace fs = std::filesystem;

namespace vantor {

namespace {

class FileStore final : public DatabaseStore {
  public:
    explicit FileStore(std::string directory) : directory_(std::move(directory)) {}

    std::string Location() const override { return ResolvePath(directory_); }
    bool OnServer() const override { return false; }
    DbError Prepare() const override { return {}; }

    std::vector<std::string> List() const override {
        return ListFiles(ResolvePath(directory_), "*.mdb");
    }

    // The file whatever the letter case of its name on disk.
    std::string Address(const std::string& name) const override {
        return ResolvePath(JoinPath(directory_, name));
    }

    bool Exists(const std::string& name) const override {
        return FileLength(Address(name)) > 0;
    }

    DbError Open(const std::string& name, Database& db) const override {
        return db.Open(Address(name));
    }

    DbError OpenReadOnly(const std::string& name, Database& db) const override {
        return db.OpenReadOnly(Address(name));
    }

    DbError Create(const std::string& name, Database& db, FileAccess access) const override {
        return db.Create(Address(name), Database::kGeneralSortOrder, access);
    }

    DbError Copy(const std::string& from, const std::string& to) const override {
        const std::string target = Address(to);
        if (FileLength(target) > 0) return DbError::Make(err::kDatabaseExists, "Database already exists.");
        // The engine's copy, not a copy of the file's bytes: another program may be writing
        // to the database, and part of its committed work may still be in the journal.
        Database db;
        DbError error = db.Open(Address(from));
        if (error.Ok()) error = db.CopyTo(target);
        if (!error.Ok()) {
            std::error_code ec;
            fs::remove(target, ec);  // a half-written copy is no database
        }
        return error;
    }

    DbError Rename(const std::string& from, const std::string& to) const override {
        return Database::RenameFile(Address(from), Address(to));
    }

    DbError Remove(const std::string& name) const override {
        return Database::DeleteFile(Address(name));
    }

    bool IsInUse(const std::string& name) const override {
        return Database::IsInUse(Address(name));
    }

    DbError Compact(const std::string& name, const std::string& backupName) const override {
        const std::string file = Address(name);
        const std::string backup = Address(backupName);
        const std::string temporary = file + ".compact.tmp";
        std::error_code ec;
        fs::remove(temporary, ec);
        if (DbError error = Database::CompactFile(file, temporary); !error.Ok()) {
            fs::remove(temporary, ec);
            return error;
        }
        return SwapInCompactedFile(file, temporary, backup);
    }

  private:
    std::string directory_;
};

}  // namespace

DbError SwapInCompactedFile(const std::string& file, const std::string& temporary,
                            const std::string& backup) {
    // The old file is never lost: it goes aside first, and comes back if the compacted copy
    // cannot take its place.
    std::error_code ec;
    fs::rename(file, backup, ec);
    if (ec) {
        const int number = ErrorNumberFromErrno(ec.value(), err::kPermissionDenied);
        fs::remove(temporary, ec);
        return DbError::Make(number);
    }
    fs::rename(temporary, file, ec);
    if (ec) {
        const int number = ErrorNumberFromErrno(ec.value(), err::kPermissionDenied);
        std::error_code restore;
        fs::rename(backup, file, restore);
        fs::remove(temporary, restore);
        return DbError::Make(number);
    }
    return {};
}

std::unique_ptr<DatabaseStore> MakeFileStore(const std::string& directory) {
    return std::make_unique<FileStore>(directory);
}

FileInStore FileStoreOf(const std::string& path) {
    // The separator is kept so that a file in the root directory stays there.
    return {MakeFileStore(ParentDirectoryOf(path, true)), FileNameOf(path)};
}

DbError CopyDatabase(const DatabaseStore& from, const std::string& fromName,
                     const DatabaseStore& to, const std::string& toName) {
    Database source;
    if (DbError error = from.Open(fromName, source); !error.Ok()) return error;
    Database target;
    if (DbError error = to.Create(toName, target); !error.Ok()) return error;
    DbError error = target.BeginTrans();
    if (error.Ok()) error = CopyDatabaseContents(source, target);
    if (error.Ok()) {
        error = target.CommitTrans();
    } else if (target.TransactionDepth() > 0) {
        static_cast<void>(target.Rollback());  // the copy's own failure is the one to report
    }
    if (!error.Ok()) {
        target.Close();
        static_cast<void>(to.Remove(toName));  // a half-made copy is no database
    }
    return error;
}

DbError CopyDatabaseContents(const Database& from, Database& to) {
    for (const std::string& table : from.TableNames()) {
        std::vector<FieldDef> fields;
        std::vector<IndexDef> indexes;
        if (DbError error = from.GetFields(table, fields); !error.Ok()) return error;
        if (DbError error = from.GetIndexes(table, indexes); !error.Ok()) return error;
        if (DbError error = to.CreateTable(table, fields); !error.Ok()) return error;
        // Rows first, indexes afterwards: the rows were valid under them already, and the
        // indexes are built once instead of kept up to date row by row.
        TableCursor source;
        TableCursor target;
        if (DbError error = from.OpenTable(table, source); !error.Ok()) return error;
        if (DbError error = to.OpenTable(table, target); !error.Ok()) return error;
        for (; !source.Eof(); ) {
            if (DbError error = target.AddNew(); !error.Ok()) return error;
            for (int i = 0; i < static_cast<int>(fields.size()); ++i) {
                DbValue value;
                if (DbError error = source.GetField(i, value); !error.Ok()) return error;
                if (DbError error = target.Set(i, value); !error.Ok()) {
                    target.CancelUpdate();
                    return error;
                }
            }
            if (DbError error = target.Update(); !error.Ok()) return error;
            if (DbError error = source.MoveNext(); !error.Ok()) return error;
        }
        for (const IndexDef& index : indexes) {
            if (DbError error = to.AddIndex(table, index); !error.Ok()) return error;
        }
    }
    return {};
}

}  // namespace vantor
