#pragma once
// The database engine every database file of the installation goes through (the playout
// databases, the users database and the rest of the family), built on SQLite 3.
//
// It keeps the behaviour the stations' programs were written against: a table is walked
// through a cursor on one of its indexes (always "Main" in practice) with keyed seeks; fields
// are read and written by name and carry a declared type that is enforced on every write;
// text keys and comparisons ignore letter case; failures carry the classic error numbers
// (3022 duplicate key, 3265 missing table or field, 3343 not a database, 3218/3260 locked,
// 3163 text too long, 6 overflow). Nothing here throws: every operation returns a DbError.
//
// Handles are RAII and move-only. A cursor or query result stays safe after its database is
// closed: it then answers 3420 ("Object invalid or no longer set.").

#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/error_numbers.h"
#include "dbengine/db_error.h"
#include "dbengine/db_value.h"

namespace vantor {

// ---------------------------------------------------------------------------------------------
// Definitions

// The engine's type codes, kept as the numbers the stations' programs use for them.
enum class FieldType {
    Boolean = 1,
    Short = 3,  // 16-bit signed ("integer")
    Long = 4,   // 32-bit signed
    Single = 6,
    Double = 7,
    DateTime = 8,  // stored as the OLE Automation serial
    Text = 10,     // size 0: 255 characters
    Memo = 12,
};

// Width of a text field declared without one.
constexpr int kDefaultTextWidth = 255;

struct FieldDef {
    std::string name;
    FieldType type = FieldType::Text;
    int size = 0;  // text width; 0 = none declared

    // The width a text value may have (size, or 255 when none is declared); 0 for non-text.
    int TextWidth() const;
};

struct IndexDef {
    std::string name;
    std::vector<std::string> fields;
    bool primary = false;  // a primary index is unique and refuses Null keys
    bool unique = false;
};

// ---------------------------------------------------------------------------------------------
// Cursors

enum class SeekOp { Equal, Greater, GreaterOrEqual, Less, LessOrEqual };

// "=", ">", ">=", "<", "<=" as the callers write them; nullopt for anything else.
std::optional<SeekOp> SeekOpFromText(std::string_view text);

enum class EditMode { None, Edit, AddNew };

namespace engine_detail {
class DatabaseBackend;
class CursorBackend;
class QueryBackend;
}  // namespace engine_detail

// A table opened for direct access ("table-type"): rows in the order of the current index,
// keyed seeks, and fields read and written by name. Open it with Database::OpenTable.
class TableCursor {
  public:
    TableCursor();
    ~TableCursor();
    TableCursor(TableCursor&&) noexcept;
    TableCursor& operator=(TableCursor&&) noexcept;
    TableCursor(const TableCursor&) = delete;
    TableCursor& operator=(const TableCursor&) = delete;

    bool IsOpen() const;
    void Close();
    const std::string& TableName() const;
    const std::vector<FieldDef>& Fields() const;

    // Chooses the index whose order the cursor follows and seeks on ("Main"); the cursor then
    // stands on the first row. 3265 when the table has no such index.
    DbError SetIndex(std::string_view indexName);
    const std::string& IndexName() const;

    // Seeks on the current index. "=" and ">=" and ">" find the first matching row in index
    // order, "<" and "<=" the last. Keys may name fewer fields than the index has; they are
    // converted to the index fields' types. After the seek test NoMatch() before reading.
    DbError Seek(SeekOp op, const DbValue& key);
    DbError Seek(SeekOp op, std::span<const DbValue> keys);
    DbError Seek(std::string_view op, const DbValue& key);
    bool NoMatch() const;

    DbError MoveFirst();
    DbError MoveLast();
    DbError MoveNext();
    DbError MovePrevious();
    bool Eof() const;  // past the last row (also: empty table, failed seek)
    bool Bof() const;  // before the first row (also: empty table)
    bool HasCurrent() const;

    // Position of a field in Fields(), found without regard to case; -1 when absent.
    int FieldIndex(std::string_view name) const;
    // The field of the current row (or of the row being added/edited). 3265 for an unknown
    // field, 3021 when there is no current row.
    DbError GetField(std::string_view name, DbValue& value) const;
    DbError GetField(int index, DbValue& value) const;
    // Lenient form: Null when the field or the current row is missing.
    DbValue Field(std::string_view name) const;
    DbValue Field(int index) const;

    // Editing, as on the stations: AddNew or Edit, Set the fields, then Update stores the row
    // (or CancelUpdate drops it). Set converts to the field's declared type and refuses what
    // does not fit (3163 text too long, 6 overflow, 13 type mismatch). A failed Update stores
    // nothing and keeps the edit buffer, so that the caller can cancel or correct it.
    // After an added row is stored, the row that was current before AddNew stays current.
    DbError AddNew();
    DbError Edit();
    DbError Set(std::string_view name, const DbValue& value);
    DbError Set(int index, const DbValue& value);
    DbError Update();
    void CancelUpdate();
    EditMode Mode() const;
    // Deletes the current row; the cursor stays on its place, so MoveNext goes on from there.
    DbError Delete();

    // Number of rows in the table.
    DbError RecordCount(long long& count) const;

  private:
    friend class Database;
    friend class AddedRowsBatch;
    std::unique_ptr<engine_detail::CursorBackend> backend_;
};

// A row a batch of added rows could not store: its place among the batch's Updates of added
// rows (0 for the first; every such Update counts, whether or not it stored its row) and the
// database's reason.
struct BatchRefusal {
    size_t row = 0;
    DbError error;
};

// Rows added through one cursor inside a transaction, stored together: a database server then
// gets them in one round trip rather than one each. While the batch lasts, Update of an added
// row refuses at once what the engine itself checks (a missing key field, ...); what only the
// database can refuse (a duplicate key, a rule of the station's) may come only from Finish, for
// the row it concerns. Every other row is stored, exactly as if each had been added by its own
// Update. A read, a statement or a commit on the same database sends the rows held first, so
// that it sees them; a commit is refused while the batch holds refusals nobody took with
// Finish. Outside a transaction, and on a database file, every row is stored at its Update.
class AddedRowsBatch {
  public:
    explicit AddedRowsBatch(TableCursor& cursor);
    // Ends the batch; rows still held go with the next read, statement or commit.
    ~AddedRowsBatch();
    AddedRowsBatch(const AddedRowsBatch&) = delete;
    AddedRowsBatch& operator=(const AddedRowsBatch&) = delete;

    // Stores the rows still held and ends the batch. refused gets the rows the database
    // refused, in order; the first one's error comes back (Ok when every row is stored).
    DbError Finish(std::vector<BatchRefusal>& refused);

  private:
    TableCursor& cursor_;
    bool open_ = false;
};

// Rows of a SELECT statement, read forward. Open it with Database::Query.
class QueryResult {
  public:
    QueryResult();
    ~QueryResult();
    QueryResult(QueryResult&&) noexcept;
    QueryResult& operator=(QueryResult&&) noexcept;
    QueryResult(const QueryResult&) = delete;
    QueryResult& operator=(const QueryResult&) = delete;

    bool IsOpen() const;
    void Close();
    bool Eof() const;
    DbError MoveNext();

    int FieldCount() const;
    std::string FieldName(int index) const;
    int FieldIndex(std::string_view name) const;  // without regard to case; -1 when absent
    // Values of columns that come straight from a table carry the column's declared type.
    DbError GetField(std::string_view name, DbValue& value) const;
    DbValue Field(std::string_view name) const;
    DbValue Field(int index) const;

  private:
    friend class Database;
    std::unique_ptr<engine_detail::QueryBackend> backend_;
};

// ---------------------------------------------------------------------------------------------
// Database

// Who may read a new database file. Shared files (playout databases) are readable by every
// account and writable by none but the owner's; a private file (the users database, which
// holds password scrambles) is the owner's alone, or also its group's when the directory it
// lives in is shared by a group (a station's staff).
enum class FileAccess { Shared, Private };

class Database {
  public:
    Database();
    ~Database();  // closes
    Database(Database&&) noexcept;
    Database& operator=(Database&&) noexcept;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Creates a new, empty database file (3204 when the file exists) and leaves it open.
    // localeText is the sort order of the file (";LANGID=0x0409;CP=1252;COUNTRY=0"); the
    // engine's only order compares text without regard to case, so it is accepted as is.
    DbError Create(const std::string& path, std::string_view localeText = kGeneralSortOrder,
                   FileAccess access = FileAccess::Shared);
    // Opens an existing file shared for reading and writing. 3024 when missing, 3343 when the
    // file is not a database, 3051 when it cannot be opened.
    DbError Open(const std::string& path);
    // Opens an existing file for reading only: every write through it fails, nothing is
    // written to the file, its journal or beside it (a lock file is made by writers only).
    DbError OpenReadOnly(const std::string& path);
    // The same for a database kept on a database server: conninfo is the server's connection
    // string (libpq's form, "host=studio-db dbname=vantor user=station"; the password comes
    // from ~/.pgpass or PGPASSWORD), fileName the name the installation knows the database by
    // ("KORA26.MDB"). A server that cannot be reached is 3051 with the server's own reason;
    // so is a server backend module that cannot be loaded, with the loader's reason.
    DbError CreateOnServer(const std::string& conninfo, const std::string& fileName);
    DbError OpenOnServer(const std::string& conninfo, const std::string& fileName);
    void Close();
    bool IsOpen() const;
    // The file's path, or for a database on a server the file name it is known by.
    const std::string& Path() const;

    // The engine version of the open file's format ("3.40").
    std::string EngineVersion() const;

    // Writes a compact copy of the open database into a new file (which must not exist or
    // must be empty): every committed transaction is in it. Used for copies and compacting.
    DbError CopyTo(const std::string& targetPath);
    // Compacts (and so repairs what can be repaired) a closed file into a new file; 3045 when
    // a program still has the file open.
    static DbError CompactFile(const std::string& sourcePath, const std::string& targetPath);
    // True when some program holds the file open (its NAME.LDB sidecar cannot be locked
    // exclusively).
    static bool IsInUse(const std::string& path);
    // The sidecar lock file of a database: its path with the extension replaced by ".LDB".
    static std::string LockFilePath(const std::string& path);
    // Deletes a database file that no program has open, with its lock file and the journal
    // files the engine keeps beside it (a journal left by a crash belongs to no other file).
    // Nothing is deleted and 3045 comes back while some program holds the file open. A
    // missing file is not an error; its stale lock file still goes.
    static DbError DeleteFile(const std::string& path);
    // Gives a database file that no program has open a new name, taking the journal a crash
    // may have left beside it along (it holds committed work) and dropping the old lock file.
    // 3045 while some program holds the file open; 58 when the target exists (it is never
    // replaced).
    static DbError RenameFile(const std::string& fromPath, const std::string& toPath);

    // Definitions. Names of tables, fields and indexes are compared without regard to case.
    std::vector<std::string> TableNames() const;  // user tables in creation order
    // The table's name as stored, or 3265 when the table does not exist.
    DbError FindTable(std::string_view name, std::string* storedName = nullptr) const;
    DbError CreateTable(std::string_view name, std::span<const FieldDef> fields);
    DbError AddField(std::string_view table, const FieldDef& field);
    DbError AddIndex(std::string_view table, const IndexDef& index);
    DbError GetFields(std::string_view table, std::vector<FieldDef>& fields) const;
    DbError GetIndexes(std::string_view table, std::vector<IndexDef>& indexes) const;
    // 3265 when the table or the field (index) is missing.
    DbError FindField(std::string_view table, std::string_view field,
                      FieldDef* def = nullptr) const;
    DbError FindIndex(std::string_view table, std::string_view index,
                      IndexDef* def = nullptr) const;

    // Opens a table for direct access, in index order when indexName is given (else in the
    // order rows were added).
    DbError OpenTable(std::string_view table, TableCursor& cursor,
                      std::string_view indexName = "") const;

    // SQL with "?" parameters bound from params, never pasted into the text. "DELETE * FROM"
    // is accepted as the stations write it; names may be quoted with [brackets].
    DbError Execute(std::string_view sql, std::span<const DbValue> params = {},
                    long long* rowsAffected = nullptr);
    DbError Execute(std::string_view sql, std::initializer_list<DbValue> params,
                    long long* rowsAffected = nullptr);
    DbError Query(std::string_view sql, std::span<const DbValue> params, QueryResult& result) const;
    DbError Query(std::string_view sql, std::initializer_list<DbValue> params,
                  QueryResult& result) const;

    // Tells the programs listening on the database's server (a playout engine refreshing its
    // running order) that something changed, on the channel given with the database's schema
    // name as payload; inside a transaction it is delivered when the transaction commits, and
    // not at all when it is rolled back. A file has no listeners: nothing is sent.
    DbError Notify(std::string_view channel);

    // Transactions nest; only the outermost commit makes the changes visible to others.
    DbError BeginTrans();
    DbError CommitTrans();
    DbError Rollback();
    int TransactionDepth() const;

    static constexpr std::string_view kGeneralSortOrder = ";LANGID=0x0409;CP=1252;COUNTRY=0";

  private:
    DbError OpenFile(const std::string& path, bool readOnly);
    DbError ConnectToServer(const std::string& conninfo, const std::string& fileName, bool create);

    std::unique_ptr<engine_detail::DatabaseBackend> backend_;
};

// Rolls back on destruction unless committed: an hour imported halfway leaves nothing.
class Transaction {
  public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // The failure of BeginTrans, if any (the guard then does nothing).
    const DbError& BeginError() const { return beginError_; }
    DbError Commit();
    DbError Rollback();

  private:
    Database& db_;
    DbError beginError_;
    bool active_ = false;
};

}  // namespace vantor
