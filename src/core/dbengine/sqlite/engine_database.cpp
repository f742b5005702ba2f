// The engine's database handle: opening and creating files, the in-use lock, definitions,
// SQL statements and transactions.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "common/problem_report.h"
#include "common/text.h"
#include "dbengine/sqlite/engine_internal.h"

namespace vantor {

using engine_detail::ClosedError;
using engine_detail::Connection;
using engine_detail::QuoteName;
using engine_detail::ResetStatement;
using engine_detail::SqliteDatabase;

namespace fs = std::filesystem;

// ---------------------------------------------------------------------------------------------
// Connection

namespace engine_detail {

void Connection::Close() {
    if (db != nullptr) {
        for (auto& [sql, stmt] : cache) sqlite3_finalize(stmt);
        for (sqlite3_stmt* stmt : owned) sqlite3_finalize(stmt);
        cache.clear();
        owned.clear();
        busy.clear();
        walking.clear();
        sqlite3_close_v2(db);
        db = nullptr;
    }
    if (lockFd >= 0) {
        ::close(lockFd);  // also drops the shared lock
        lockFd = -1;
    }
    transactionDepth = 0;
}

void Connection::StopWalks() {
    for (sqlite3_stmt* stmt : walking) sqlite3_reset(stmt);
    walking.clear();
    ++epoch;
}

sqlite3_stmt* Connection::Prepare(std::string_view sql, DbError& error) {
    if (db == nullptr) {
        error = ClosedError();
        return nullptr;
    }
    auto it = cache.find(std::string(sql));
    if (it != cache.end()) return it->second;
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    int rc = sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()),
                                SQLITE_PREPARE_PERSISTENT, &stmt, &tail);
    if (rc != SQLITE_OK) {
        error = ErrorOf(rc);
        return nullptr;
    }
    if (stmt == nullptr) {
        error = DbError::Make(err::kInvalidArgument, "The statement is empty.");
        return nullptr;
    }
    if (tail != nullptr && !Trim(std::string_view(tail)).empty() &&
        Trim(std::string_view(tail)) != ";") {
        sqlite3_finalize(stmt);
        error = DbError::Make(err::kInvalidArgument, "Only one statement may be run at a time.");
        return nullptr;
    }
    cache.emplace(std::string(sql), stmt);
    return stmt;
}

DbError LookupTable(Connection& conn, std::string_view name, std::string* storedName) {
    DbError error;
    // Any object of the name, so that a view (or an index) in a table's place is told apart
    // from a table that is missing: the latter is made afresh, the former cannot be.
    sqlite3_stmt* stmt = conn.Prepare(
        "SELECT name, type FROM sqlite_master WHERE name = ?1 COLLATE NOCASE "
        "ORDER BY type <> 'table'",
        error);
    if (!stmt) return error;
    if (DbError bound = BindResult(sqlite3_bind_text(
            stmt, 1, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT));
        !bound.Ok())
        return bound;
    int rc = sqlite3_step(stmt);
    DbError result;
    if (rc == SQLITE_ROW) {
        const std::string stored = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        const std::string type = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1));
        if (type != "table") {
            result = DbError::Make(err::kInvalidArgument, stored + " in the database " + conn.path +
                                                              " is a " + type + ", not a table.");
        } else if (storedName) {
            *storedName = stored;
        }
    } else {
        result = rc == SQLITE_DONE
                     ? DbError::Make(err::kItemNotFound, "No table " + std::string(name))
                     : conn.ErrorOf(rc);
    }
    ResetStatement(stmt);
    return result;
}

DbError ReadFields(Connection& conn, const std::string& table, std::vector<FieldDef>& fields) {
    fields.clear();
    DbError error;
    sqlite3_stmt* stmt =
        conn.Prepare("SELECT name, type FROM pragma_table_info(?1) ORDER BY cid", error);
    if (!stmt) return error;
    if (DbError bound = BindResult(sqlite3_bind_text(
            stmt, 1, table.data(), static_cast<int>(table.size()), SQLITE_TRANSIENT));
        !bound.Ok())
        return bound;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        auto text = [stmt](int column) {
            const unsigned char* value = sqlite3_column_text(stmt, column);
            return std::string(value ? reinterpret_cast<const char*>(value) : "");
        };
        fields.push_back(FieldFromDeclaration(text(0), text(1)));
    }
    DbError result = rc == SQLITE_DONE ? DbError() : conn.ErrorOf(rc);
    ResetStatement(stmt);
    return result;
}

DbError ReadIndexes(Connection& conn, const std::string& table, std::vector<IndexDef>& indexes) {
    indexes.clear();
    DbError error;
    sqlite3_stmt* list =
        conn.Prepare("SELECT name, \"unique\" FROM pragma_index_list(?1) ORDER BY seq DESC", error);
    if (!list) return error;
    if (DbError bound = BindResult(sqlite3_bind_text(
            list, 1, table.data(), static_cast<int>(table.size()), SQLITE_TRANSIENT));
        !bound.Ok())
        return bound;
    std::vector<std::pair<std::string, bool>> found;
    int rc;
    while ((rc = sqlite3_step(list)) == SQLITE_ROW) {
        found.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(list, 0)),
                           sqlite3_column_int(list, 1) != 0);
    }
    DbError result = rc == SQLITE_DONE ? DbError() : conn.ErrorOf(rc);
    ResetStatement(list);
    if (!result.Ok()) return result;

    sqlite3_stmt* info =
        conn.Prepare("SELECT name FROM pragma_index_info(?1) ORDER BY seqno", error);
    if (!info) return error;
    // Index names are per table on the stations but per file in SQLite, so they are stored
    // as "Table.Index"; the table part is taken off again here.
    std::string prefix = table + ".";
    for (auto& [storedName, unique] : found) {
        IndexDef index;
        index.name =
            StartsWithNoCase(storedName, prefix) ? storedName.substr(prefix.size()) : storedName;
        // Every unique index this system creates is a table's primary key.
        index.unique = unique;
        index.primary = unique;
        if (DbError bound = BindResult(sqlite3_bind_text(
                info, 1, storedName.data(), static_cast<int>(storedName.size()), SQLITE_TRANSIENT));
            !bound.Ok())
            return bound;
        while ((rc = sqlite3_step(info)) == SQLITE_ROW) {
            const unsigned char* name = sqlite3_column_text(info, 0);
            index.fields.emplace_back(name ? reinterpret_cast<const char*>(name) : "");
        }
        result = rc == SQLITE_DONE ? DbError() : conn.ErrorOf(rc);
        ResetStatement(info);
        if (!result.Ok()) return result;
        indexes.push_back(std::move(index));
    }
    return {};
}

}  // namespace engine_detail

// ---------------------------------------------------------------------------------------------
// Files and locks

namespace {

constexpr int kBusyTimeoutMs = 10000;
// "VNTR": marks the files this program family creates.
constexpr int kApplicationId = 0x564E5452;

// WAL needs memory shared between the programs that use a file, which only works when they
// run on one host; on a network file system the rollback journal is used instead.
bool IsNetworkFileSystem(const std::string& path) {
    fs::path directory = fs::path(path).parent_path();
    if (directory.empty()) directory = ".";
    struct statfs info {};
    if (statfs(directory.c_str(), &info) != 0) return false;
    switch (static_cast<unsigned long>(info.f_type)) {
        case 0x6969:      // NFS
        case 0x517B:      // SMB
        case 0xFF534D42:  // CIFS
        case 0xFE534D42:  // SMB2
        case 0x73757245:  // Coda
        case 0x5346414F:  // AFS
        case 0x564C:      // NCP
        case 0x01021997:  // 9P
        case 0x65735546:  // FUSE (sshfs and the like)
            return true;
        default:
            return false;
    }
}

// Permission bits of a new lock file: every program of the family that may open the database
// must be able to lock it, so it follows the database file; never writable by every account,
// whatever the umask. A database nobody else may read has a lock file nobody else may open.
mode_t LockFileMode(const std::string& databasePath) {
    struct stat st {};
    if (::stat(databasePath.c_str(), &st) == 0 && (st.st_mode & S_IRWXO) == 0)
        return st.st_mode & (S_IRUSR | S_IWUSR | S_IRGRP | S_IWGRP);
    return 0664;
}

// Creates an empty file with exactly these permission bits (not narrowed or widened by the
// umask), so that the engine, which keeps the bits of an existing file, writes into it.
DbError CreateEmptyFile(const std::string& path, mode_t mode) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) {
        const int openError = errno;
        return DbError::Make(ErrorNumberFromErrno(openError, err::kPathFileAccessError),
                             "'" + path + "' could not be created: " + std::strerror(openError));
    }
    bool ok = ::fchmod(fd, mode) == 0;
    ::close(fd);
    if (!ok) {
        std::remove(path.c_str());
        return DbError::Make(err::kPathFileAccessError,
                             "The permissions of '" + path + "' could not be set.");
    }
    return {};
}

// The permission bits of a new private file in this directory.
mode_t PrivateFileMode(const std::string& path) {
    fs::path directory = fs::path(path).parent_path();
    if (directory.empty()) directory = ".";
    struct stat st {};
    // A directory that its group may write to, or whose new files join its group, is shared
    // by that group: the group's members log in through the same file.
    if (::stat(directory.c_str(), &st) == 0 && (st.st_mode & (S_IWGRP | S_ISGID)) != 0)
        return S_IRUSR | S_IWUSR | S_IRGRP | S_IWGRP;
    return S_IRUSR | S_IWUSR;
}

// Holds a shared lock on NAME.LDB for as long as the database is open, so that other
// programs can tell that the file is in use. A directory where the lock file cannot be made
// does not stop the database from opening. A reader that must leave nothing behind locks the
// lock file only when it is there already.
int TakeSharedLock(const std::string& path, bool create) {
    const int flags = create ? O_RDWR | O_CREAT | O_CLOEXEC : O_RDONLY | O_CLOEXEC;
    int fd = ::open(Database::LockFilePath(path).c_str(), flags, LockFileMode(path));
    if (fd < 0) return -1;
    if (::flock(fd, LOCK_SH | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool InWalMode(sqlite3* db) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA journal_mode", -1, &stmt, nullptr) != SQLITE_OK) {
        return false;
    }
    bool wal = false;
    if (sqlite3_step(stmt) == SQLITE_ROW) {
        const unsigned char* mode = sqlite3_column_text(stmt, 0);
        wal = mode != nullptr && EqualsNoCase(reinterpret_cast<const char*>(mode), "wal");
    }
    sqlite3_finalize(stmt);
    return wal;
}

// readOnly: every statement that would write fails (the connection is opened for writing).
DbError OpenConnection(Connection& conn, const std::string& path, int flags,
                       bool readOnly = false) {
    sqlite3* db = nullptr;
    // A connection belongs to one Database handle, which is used from one thread at a time:
    // SQLite's own locking of the connection on every call (several per field read) is
    // not needed.
    int rc = sqlite3_open_v2(path.c_str(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        DbError error = engine_detail::MapSqliteError(rc, db ? sqlite3_extended_errcode(db) : rc,
                                                      db ? sqlite3_errmsg(db) : "");
        sqlite3_close_v2(db);
        return error;
    }
    conn.db = db;
    conn.path = path;
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    sqlite3_extended_result_codes(db, 1);
    // Reading the schema is what shows whether the file is a database at all.
    rc = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        DbError error = conn.ErrorOf(rc);
        conn.Close();
        return error;
    }
    if (readOnly) {
        // Nothing may be written, not even the journal mode into the file's header. The
        // connection is a writer's all the same, so that the journal files the engine makes
        // beside a file in WAL mode go again when it closes; a read-only one would leave them.
        rc = sqlite3_exec(db, "PRAGMA query_only=1", nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) {
            DbError error = conn.ErrorOf(rc);
            conn.Close();
            return error;
        }
        conn.lockFd = TakeSharedLock(path, false);
        return {};
    }
    const char* journal =
        IsNetworkFileSystem(path) ? "PRAGMA journal_mode=DELETE" : "PRAGMA journal_mode=WAL";
    sqlite3_exec(db, journal, nullptr, nullptr, nullptr);  // read-only files keep theirs
    // With WAL a commit appends to the log and the log is flushed to disk at each checkpoint:
    // a committed transaction survives a crash of any program, and a power cut can only lose
    // the commits since the last checkpoint, never damage the file. Flushing at every commit
    // too (FULL) would close that window at the price of a disk flush per imported hour,
    // which is most of an hour's import time. With the rollback journal NORMAL could leave a
    // damaged file after a power cut, so that mode keeps FULL.
    sqlite3_exec(db, InWalMode(db) ? "PRAGMA synchronous=NORMAL" : "PRAGMA synchronous=FULL",
                 nullptr, nullptr, nullptr);
    conn.lockFd = TakeSharedLock(path, true);
    return {};
}

}  // namespace

std::string Database::LockFilePath(const std::string& path) {
    fs::path file(path);
    if (file.has_extension()) return file.replace_extension(".LDB").string();
    return path + ".LDB";
}

bool Database::IsInUse(const std::string& path) {
    int fd = ::open(LockFilePath(path).c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return false;
    bool inUse = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    ::close(fd);
    return inUse;
}

namespace {

// The journal files SQLite keeps beside a database, named after it.
constexpr const char* kJournalSuffixes[] = {"-wal", "-journal"};
constexpr const char* kSharedMemorySuffix = "-shm";

// Holds the lock file of a database exclusively while a file operation runs, so that no
// program of the family opens the database meanwhile (its shared lock would fail, and the
// file it finds would be gone or renamed under it).
class ExclusiveUse {
  public:
    explicit ExclusiveUse(const std::string& path)
        : lockPath_(Database::LockFilePath(path)),
          existed_(fs::exists(lockPath_, ignored_)),
          fd_(::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, LockFileMode(path))) {
        // A directory where no lock file can be made has no program of ours using it.
        held_ = fd_ < 0 || ::flock(fd_, LOCK_EX | LOCK_NB) == 0;
    }
    ~ExclusiveUse() {
        if (fd_ >= 0) ::close(fd_);
    }
    ExclusiveUse(const ExclusiveUse&) = delete;
    ExclusiveUse& operator=(const ExclusiveUse&) = delete;

    bool Held() const { return held_; }
    // Removes the lock file while it is still held; true when it is gone.
    bool RemoveLockFile() {
        std::error_code ec;
        fs::remove(lockPath_, ec);
        return !ec;
    }
    // Leaves no lock file behind that this operation made itself.
    void DropIfMadeHere() {
        if (!existed_) RemoveLockFile();
    }

  private:
    std::error_code ignored_;
    std::string lockPath_;
    bool existed_;
    int fd_;
    bool held_ = false;
};

// What a file that is not a database file is, for the message that refuses it.
std::string DescribeFileKind(fs::file_type type) {
    switch (type) {
        case fs::file_type::character:
        case fs::file_type::block:
            return "a device";
        case fs::file_type::fifo:
            return "a FIFO (a named pipe)";
        case fs::file_type::socket:
            return "a socket";
        default:
            return "not a regular file";
    }
}

DbError FileError(const std::error_code& ec) {
    return DbError::Make(ErrorNumberFromErrno(ec.value(), err::kDiskOrNetworkError),
                         ec.message());
}

}  // namespace

DbError Database::DeleteFile(const std::string& path) {
    ExclusiveUse use(path);
    if (!use.Held()) {
        return DbError::Make(err::kFileAlreadyInUse, "Could not use the file; file already in use.");
    }
    std::error_code ec;
    if (fs::exists(path, ec)) {
        fs::remove(path, ec);
        if (ec) {
            use.DropIfMadeHere();
            return FileError(ec);
        }
    }
    for (const char* suffix : kJournalSuffixes) fs::remove(path + suffix, ec);
    fs::remove(path + kSharedMemorySuffix, ec);
    use.RemoveLockFile();
    return {};
}

DbError Database::RenameFile(const std::string& fromPath, const std::string& toPath) {
    ExclusiveUse use(fromPath);
    if (!use.Held()) {
        return DbError::Make(err::kFileAlreadyInUse, "Could not use the file; file already in use.");
    }
    std::error_code ec;
    if (fs::exists(toPath, ec)) {
        use.DropIfMadeHere();
        return DbError::Make(err::kFileAlreadyExists, "File already exists");
    }
    fs::rename(fromPath, toPath, ec);
    if (ec) {
        use.DropIfMadeHere();
        return FileError(ec);
    }
    for (const char* suffix : kJournalSuffixes) {
        if (fs::exists(fromPath + suffix, ec)) fs::rename(fromPath + suffix, toPath + suffix, ec);
    }
    fs::remove(fromPath + kSharedMemorySuffix, ec);
    use.RemoveLockFile();
    return {};
}

// ---------------------------------------------------------------------------------------------
// Database


DbError SqliteDatabase::Create(const std::string& path, std::string_view /*localeText*/,
                         FileAccess access) {
    Close();
    std::error_code ec;
    if (path.empty()) return DbError::Make(err::kNotAValidPath, "No file name was given.");
    if (fs::exists(path, ec)) {
        return DbError::Make(err::kDatabaseExists, "Database already exists.");
    }
    fs::path directory = fs::path(path).parent_path();
    if (!directory.empty() && !fs::is_directory(directory, ec)) {
        return DbError::Make(err::kNotAValidPath, "'" + path + "' is not a valid path.");
    }
    // The engine's journal files take the bits of the database file, so a private file stays
    // private with them. A shared one gets the engine's own (owner writes, all read).
    if (access == FileAccess::Private) {
        if (DbError error = CreateEmptyFile(path, PrivateFileMode(path)); !error.Ok()) return error;
    }
    auto conn = std::make_shared<Connection>();
    DbError error = OpenConnection(*conn, path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    if (!error.Ok()) {
        if (access == FileAccess::Private) std::remove(path.c_str());
        return error;
    }
    // Writing the header makes the file exist on disk as an (empty) database at once.
    std::string pragma = "PRAGMA application_id=" + std::to_string(kApplicationId);
    int rc = sqlite3_exec(conn->db, pragma.c_str(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        error = conn->ErrorOf(rc);
        conn->Close();
        std::remove(path.c_str());
        return error;
    }
    conn_ = std::move(conn);
    return {};
}

DbError SqliteDatabase::OpenFile(const std::string& path, bool readOnly) {
    Close();
    std::error_code ec;
    if (path.empty()) return DbError::Make(err::kNotAValidPath, "No file name was given.");
    if (!fs::exists(path, ec)) {
        fs::path directory = fs::path(path).parent_path();
        if (!directory.empty() && !fs::is_directory(directory, ec)) {
            return DbError::Make(err::kNotAValidPath, "'" + path + "' is not a valid path.");
        }
        return DbError::Make(err::kCouldNotFindFile, "Could not find file '" + path + "'.");
    }
    if (fs::is_directory(path, ec)) {
        return DbError::Make(err::kCannotOpenFile, "'" + path + "' is a directory.");
    }
    // A device (/dev/zero reads as an endless empty database), a FIFO or a socket is no
    // database, whatever links lead to it; the engine would hang on it or misread it.
    if (!fs::is_regular_file(path, ec)) {
        // A number without a standard message, whose would blame another user: this
        // description says what is wrong.
        const std::string kind = DescribeFileKind(fs::status(path, ec).type());
        return DbError{err::kReserved, "'" + path + "' is not a database file: it is " + kind + "."};
    }
    // SQLite takes an empty file for an empty database and the journal-mode setting would write
    // a header into it: a file of length 0 is not a database, and it is left as it is.
    if (fs::file_size(path, ec) == 0 && !ec) {
        return DbError::Make(err::kUnrecognizedFormat,
                             "Unrecognized database format '" + path + "'.");
    }
    auto conn = std::make_shared<Connection>();
    DbError error = OpenConnection(*conn, path, SQLITE_OPEN_READWRITE, readOnly);
    if (!error.Ok()) return error;
    conn_ = std::move(conn);
    return {};
}

void SqliteDatabase::Close() {
    if (conn_) conn_->Close();
    conn_.reset();
}

bool SqliteDatabase::IsOpen() const {
    return conn_ && conn_->IsOpen();
}

const std::string& SqliteDatabase::Path() const {
    static const std::string kNone;
    return conn_ ? conn_->path : kNone;
}

std::string SqliteDatabase::EngineVersion() const {
    if (!IsOpen()) return "";
    // The file header names the library version that last wrote the file (offset 96, big
    // endian): that is the version of the file's format as far as anyone can tell.
    std::ifstream file(conn_->path, std::ios::binary);
    unsigned char header[100] = {};
    if (!file.read(reinterpret_cast<char*>(header), sizeof header)) {
        int version = sqlite3_libversion_number();
        return std::to_string(version / 1000000) + "." + std::to_string(version / 1000 % 1000);
    }
    long version = (long(header[96]) << 24) | (long(header[97]) << 16) | (long(header[98]) << 8) |
                   long(header[99]);
    return std::to_string(version / 1000000) + "." + std::to_string(version / 1000 % 1000);
}

DbError SqliteDatabase::CopyTo(const std::string& targetPath) {
    if (!IsOpen()) return ClosedError();
    std::error_code ec;
    if (fs::exists(targetPath, ec) && fs::file_size(targetPath, ec) > 0) {
        return DbError::Make(err::kDatabaseExists, "'" + targetPath + "' already exists.");
    }
    // The copy (a backup, a compacted file) is readable by no more accounts than the original.
    struct stat st {};
    bool madeHere = false;
    if (!fs::exists(targetPath, ec) && ::stat(conn_->path.c_str(), &st) == 0) {
        if (DbError error = CreateEmptyFile(targetPath, st.st_mode & 0664); !error.Ok())
            return error;
        madeHere = true;
    }
    DbValue target(targetPath);
    DbError error = Execute("VACUUM INTO ?1", std::span<const DbValue>(&target, 1), nullptr);
    if (!error.Ok() && madeHere) std::remove(targetPath.c_str());
    return error;
}

DbError Database::CompactFile(const std::string& sourcePath, const std::string& targetPath) {
    // A file still open elsewhere would go on being written after it has been replaced, and
    // those changes would end up in the backup: compacting needs the file to itself.
    if (IsInUse(sourcePath)) {
        return DbError::Make(err::kFileAlreadyInUse, "Could not use the file; file already in use.");
    }
    Database source;
    DbError error = source.Open(sourcePath);
    if (!error.Ok()) return error;
    error = source.CopyTo(targetPath);
    source.Close();
    if (!error.Ok()) {
        std::error_code ec;
        // A half-written target must not be taken for a database later.
        if (fs::exists(targetPath, ec)) fs::remove(targetPath, ec);
    }
    return error;
}

// ---------------------------------------------------------------------------------------------
// Definitions

std::vector<std::string> SqliteDatabase::TableNames() const {
    std::vector<std::string> names;
    if (!IsOpen()) return names;
    DbError error;
    sqlite3_stmt* stmt = conn_->Prepare(
        "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite\\_%' "
        "ESCAPE '\\' ORDER BY rowid",
        error);
    if (!stmt) return names;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        names.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
    }
    ResetStatement(stmt);
    return names;
}

DbError SqliteDatabase::FindTable(std::string_view name, std::string* storedName) const {
    if (!IsOpen()) return ClosedError();
    return engine_detail::LookupTable(*conn_, name, storedName);
}

namespace {

std::string ColumnDefinition(const FieldDef& field) {
    std::string definition = QuoteName(field.name) + " " + engine_detail::DeclaredType(field);
    // Keys and comparisons of text ignore letter case, as the stations' engine does.
    if (field.type == FieldType::Text || field.type == FieldType::Memo) {
        definition += " COLLATE NOCASE";
    }
    return definition;
}

}  // namespace

DbError SqliteDatabase::CreateTable(std::string_view name, std::span<const FieldDef> fields) {
    if (!IsOpen()) return ClosedError();
    conn_->StopWalks();
    std::string sql = "CREATE TABLE " + QuoteName(name) + " (";
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) sql += ", ";
        sql += ColumnDefinition(fields[i]);
    }
    sql += ")";
    int rc = sqlite3_exec(conn_->db, sql.c_str(), nullptr, nullptr, nullptr);
    return rc == SQLITE_OK ? DbError() : conn_->ErrorOf(rc);
}

DbError SqliteDatabase::AddField(std::string_view table, const FieldDef& field) {
    if (!IsOpen()) return ClosedError();
    conn_->StopWalks();
    std::string stored;
    if (DbError error = FindTable(table, &stored); !error.Ok()) return error;
    std::string sql = "ALTER TABLE " + QuoteName(stored) + " ADD COLUMN " + ColumnDefinition(field);
    int rc = sqlite3_exec(conn_->db, sql.c_str(), nullptr, nullptr, nullptr);
    return rc == SQLITE_OK ? DbError() : conn_->ErrorOf(rc);
}

DbError SqliteDatabase::AddIndex(std::string_view table, const IndexDef& index) {
    if (!IsOpen()) return ClosedError();
    conn_->StopWalks();
    std::string stored;
    if (DbError error = FindTable(table, &stored); !error.Ok()) return error;
    std::vector<FieldDef> fields;
    if (DbError error = GetFields(stored, fields); !error.Ok()) return error;
    std::string columns;
    for (const std::string& name : index.fields) {
        auto it = std::find_if(fields.begin(), fields.end(),
                               [&](const FieldDef& f) { return EqualsNoCase(f.name, name); });
        if (it == fields.end()) {
            return DbError::Make(err::kItemNotFound, "No field " + name + " in " + stored);
        }
        if (!columns.empty()) columns += ", ";
        columns += QuoteName(it->name);
    }
    bool unique = index.primary || index.unique;
    std::string sql = std::string(unique ? "CREATE UNIQUE INDEX " : "CREATE INDEX ") +
                      QuoteName(stored + "." + index.name) + " ON " + QuoteName(stored) + " (" +
                      columns + ")";
    int rc = sqlite3_exec(conn_->db, sql.c_str(), nullptr, nullptr, nullptr);
    return rc == SQLITE_OK ? DbError() : conn_->ErrorOf(rc);
}

DbError SqliteDatabase::GetFields(std::string_view table, std::vector<FieldDef>& fields) const {
    if (!IsOpen()) return ClosedError();
    std::string stored;
    if (DbError error = FindTable(table, &stored); !error.Ok()) return error;
    return engine_detail::ReadFields(*conn_, stored, fields);
}

DbError SqliteDatabase::GetIndexes(std::string_view table, std::vector<IndexDef>& indexes) const {
    if (!IsOpen()) return ClosedError();
    std::string stored;
    if (DbError error = FindTable(table, &stored); !error.Ok()) return error;
    return engine_detail::ReadIndexes(*conn_, stored, indexes);
}

// ---------------------------------------------------------------------------------------------
// SQL

DbError SqliteDatabase::Execute(std::string_view sql, std::span<const DbValue> params,
                          long long* rowsAffected) {
    if (rowsAffected) *rowsAffected = 0;
    if (!IsOpen()) return ClosedError();
    // The statement may change any row, or end the transaction a walk belongs to.
    conn_->StopWalks();
    DbError error;
    sqlite3_stmt* stmt = conn_->Prepare(NormalizeSql(sql), error);
    if (!stmt) return error;
    if (conn_->busy.count(stmt)) {
        return DbError::Make(err::kInvalidArgument, "The statement is still being read.");
    }
    if (static_cast<int>(params.size()) != sqlite3_bind_parameter_count(stmt)) {
        ResetStatement(stmt);
        return DbError::Make(err::kTooFewParameters, "Too few parameters.");
    }
    for (size_t i = 0; i < params.size(); ++i) {
        if (DbError bound = engine_detail::BindValue(stmt, static_cast<int>(i + 1), params[i]);
            !bound.Ok()) {
            ResetStatement(stmt);
            return bound;
        }
    }
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    }
    DbError result = rc == SQLITE_DONE ? DbError() : conn_->ErrorOf(rc);
    if (result.Ok() && rowsAffected) *rowsAffected = sqlite3_changes64(conn_->db);
    ResetStatement(stmt);
    return result;
}

// ---------------------------------------------------------------------------------------------
// Transactions

namespace {
std::string SavepointName(int depth) {
    return "vantor_level_" + std::to_string(depth);
}
}  // namespace

DbError SqliteDatabase::Notify(std::string_view /*channel*/) {
    // Other programs see a file's changes by reading it; there is no one to tell.
    return IsOpen() ? DbError() : ClosedError();
}

DbError SqliteDatabase::BeginTrans() {
    if (!IsOpen()) return ClosedError();
    // A walk never outlives the transaction it was started in (nor one that begins or ends
    // inside it): an open read would otherwise hold on to an old view of the file.
    conn_->StopWalks();
    // The outermost transaction takes the write lock at once (waiting up to the busy timeout)
    // so that two programs never deadlock halfway through an hour.
    std::string sql = conn_->transactionDepth == 0
                          ? "BEGIN IMMEDIATE"
                          : "SAVEPOINT " + SavepointName(conn_->transactionDepth);
    int rc = sqlite3_exec(conn_->db, sql.c_str(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) return conn_->ErrorOf(rc);
    ++conn_->transactionDepth;
    return {};
}

DbError SqliteDatabase::CommitTrans() {
    if (!IsOpen()) return ClosedError();
    conn_->StopWalks();
    if (sqlite3_get_autocommit(conn_->db)) conn_->transactionDepth = 0;  // rolled back by SQLite
    if (conn_->transactionDepth == 0) {
        return DbError::Make(err::kAlreadyInTransaction, "No transaction is open.");
    }
    std::string sql = conn_->transactionDepth == 1
                          ? "COMMIT"
                          : "RELEASE " + SavepointName(conn_->transactionDepth - 1);
    int rc = sqlite3_exec(conn_->db, sql.c_str(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) return conn_->ErrorOf(rc);
    --conn_->transactionDepth;
    return {};
}

DbError SqliteDatabase::Rollback() {
    if (!IsOpen()) return ClosedError();
    conn_->StopWalks();
    if (sqlite3_get_autocommit(conn_->db)) {
        // SQLite already rolled the whole transaction back after a failure.
        bool wasOpen = conn_->transactionDepth > 0;
        conn_->transactionDepth = 0;
        return wasOpen ? DbError()
                       : DbError::Make(err::kAlreadyInTransaction, "No transaction is open.");
    }
    if (conn_->transactionDepth == 0) {
        return DbError::Make(err::kAlreadyInTransaction, "No transaction is open.");
    }
    std::string sql;
    if (conn_->transactionDepth == 1) {
        sql = "ROLLBACK";
    } else {
        std::string name = SavepointName(conn_->transactionDepth - 1);
        sql = "ROLLBACK TO " + name + "; RELEASE " + name;
    }
    int rc = sqlite3_exec(conn_->db, sql.c_str(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) return conn_->ErrorOf(rc);
    --conn_->transactionDepth;
    return {};
}

int SqliteDatabase::TransactionDepth() const {
    return IsOpen() ? conn_->transactionDepth : 0;
}

}  // namespace vantor
