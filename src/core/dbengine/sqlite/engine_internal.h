#pragma once
// Inside of the engine: the SQLite connection and the helpers its parts share. Only the
// engine's own .cpp files include this; everything else sees engine.h alone.

#include <sqlite3.h>

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "dbengine/backend.h"
#include "dbengine/engine_common.h"

namespace vantor::engine_detail {

// Resets a prepared statement when the scope is left, whichever way: a statement that was
// stepped must not keep its read open or its lock until its next use.
class StatementReset {
  public:
    explicit StatementReset(sqlite3_stmt* stmt) : stmt_(stmt) {}
    ~StatementReset() { sqlite3_reset(stmt_); }
    StatementReset(const StatementReset&) = delete;
    StatementReset& operator=(const StatementReset&) = delete;

  private:
    sqlite3_stmt* stmt_;
};

struct Connection {
    sqlite3* db = nullptr;
    std::string path;
    int lockFd = -1;
    int transactionDepth = 0;
    // Prepared once, kept for the life of the connection: a seek or an insert on a hot path
    // never parses SQL again.
    std::unordered_map<std::string, sqlite3_stmt*> cache;
    std::unordered_set<sqlite3_stmt*> busy;   // cached statements lent to a live query result
    std::unordered_set<sqlite3_stmt*> owned;  // extra statements of concurrent query results
                                              // and the cursors' walk statements
    // Walk statements of cursors that are still stepping (see the cursor), and a counter that
    // moves on whenever rows may have been added, removed or re-keyed: a walk started before
    // the counter moved is not continued.
    std::unordered_set<sqlite3_stmt*> walking;
    uint64_t epoch = 0;

    Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection() { Close(); }

    bool IsOpen() const { return db != nullptr; }
    void Close();
    // A cached statement for sql, reset and with its bindings cleared.
    sqlite3_stmt* Prepare(std::string_view sql, DbError& error);
    // Resets every walk still stepping (so that no read stays open past a transaction or
    // across a change of definitions) and makes every cursor start its next walk afresh.
    void StopWalks();
    // The failure sqlite reported for rc, as one of the classic error numbers.
    DbError ErrorOf(int rc) const;
};

// Mapping of an SQLite result code (and message) to the classic numbers.
DbError MapSqliteError(int rc, int extendedCode, std::string_view message);

// Binds one value to a statement parameter (1-based). A text is copied unless the caller
// keeps the value alive and unchanged until the statement is reset (keepsValue). A binding
// that fails (no such parameter, a text too big, memory gone) must stop the statement: run
// anyway, it would use Null in the value's place.
DbError BindValue(sqlite3_stmt* stmt, int index, const DbValue& value, bool keepsValue = false);
// The outcome of one of the library's own bind calls, as an engine error.
DbError BindResult(int rc);
// Reads one result column as a value of the field's type.
DbValue ReadColumn(sqlite3_stmt* stmt, int column, FieldType type);
// The same into an existing value, reusing its text storage.
void ReadColumnInto(sqlite3_stmt* stmt, int column, FieldType type, DbValue& out);
// Reads one result column by its storage class (no declared type known).
DbValue ReadColumnAsStored(sqlite3_stmt* stmt, int column);

// Resets a statement so that it can be used again, whatever happened.
inline void ResetStatement(sqlite3_stmt* stmt) {
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
}

// Definitions, shared by Database and the cursor.
DbError LookupTable(Connection& conn, std::string_view name, std::string* storedName);
DbError ReadFields(Connection& conn, const std::string& table, std::vector<FieldDef>& fields);
DbError ReadIndexes(Connection& conn, const std::string& table, std::vector<IndexDef>& indexes);

// The SQLite backend: a database file opened through the embedded library.
class SqliteDatabase final : public DatabaseBackend {
  public:
    ~SqliteDatabase() override { Close(); }

    DbError Create(const std::string& path, std::string_view localeText, FileAccess access);
    DbError OpenFile(const std::string& path, bool readOnly);

    void Close() override;
    bool IsOpen() const override;
    const std::string& Path() const override;
    std::string EngineVersion() const override;
    DbError CopyTo(const std::string& targetPath) override;
    std::vector<std::string> TableNames() const override;
    DbError FindTable(std::string_view name, std::string* storedName) const override;
    DbError CreateTable(std::string_view name, std::span<const FieldDef> fields) override;
    DbError AddField(std::string_view table, const FieldDef& field) override;
    DbError AddIndex(std::string_view table, const IndexDef& index) override;
    DbError GetFields(std::string_view table, std::vector<FieldDef>& fields) const override;
    DbError GetIndexes(std::string_view table, std::vector<IndexDef>& indexes) const override;
    DbError OpenTable(std::string_view table, std::unique_ptr<CursorBackend>& result,
                      std::string_view indexName) const override;
    DbError Execute(std::string_view sql, std::span<const DbValue> params,
                    long long* rowsAffected) override;
    DbError Query(std::string_view sql, std::span<const DbValue> params,
                  std::unique_ptr<QueryBackend>& result) const override;
    DbError Notify(std::string_view channel) override;
    DbError BeginTrans() override;
    DbError CommitTrans() override;
    DbError Rollback() override;
    int TransactionDepth() const override;

  private:
    std::shared_ptr<Connection> conn_;
};

struct CursorState;
class SqliteCursor final : public CursorBackend {
  public:
    SqliteCursor();
    ~SqliteCursor() override;

    bool IsOpen() const override;
    const std::string& TableName() const override;
    const std::vector<FieldDef>& Fields() const override;
    DbError SetIndex(std::string_view indexName) override;
    const std::string& IndexName() const override;
    DbError Seek(SeekOp op, std::span<const DbValue> keys) override;
    bool NoMatch() const override;
    DbError MoveFirst() override;
    DbError MoveLast() override;
    DbError MoveNext() override;
    DbError MovePrevious() override;
    bool Eof() const override;
    bool Bof() const override;
    bool HasCurrent() const override;
    int FieldIndex(std::string_view name) const override;
    DbError GetField(int index, DbValue& value) const override;
    DbError AddNew() override;
    DbError Edit() override;
    DbError Set(int index, const DbValue& value) override;
    DbError Update() override;
    void CancelUpdate() override;
    EditMode Mode() const override;
    DbError Delete() override;
    DbError RecordCount(long long& count) const override;

  private:
    friend class SqliteDatabase;
    std::unique_ptr<CursorState> state_;
};

struct QueryState;
class SqliteQuery final : public QueryBackend {
  public:
    SqliteQuery();
    ~SqliteQuery() override;

    bool IsOpen() const override;
    bool Eof() const override;
    DbError MoveNext() override;
    int FieldCount() const override;
    std::string FieldName(int index) const override;
    int FieldIndex(std::string_view name) const override;
    DbValue Field(int index) const override;

  private:
    friend class SqliteDatabase;
    std::unique_ptr<QueryState> state_;
};

}  // namespace vantor::engine_detail
