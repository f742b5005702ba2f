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

#include "dbengine/engine.h"

namespace vantor::engine_detail {

// Field and table names compare without regard to (ASCII) case, as on the stations.
struct NoCaseHash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const;
};
struct NoCaseEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
};
using NoCaseIndexMap = std::unordered_map<std::string, int, NoCaseHash, NoCaseEqual>;

// Positions of a table's fields by name, without regard to case. Rows are written and read
// field by field by name, dozens of times per row, so the lookup must cost little: the slot
// comes from the name's length and three of its characters rather than from hashing the whole
// name, and one comparison then confirms it.
class FieldLookup {
  public:
    void Build(const std::vector<FieldDef>& fields);
    int Find(std::string_view name) const;  // -1 when no field has the name

  private:
    size_t SlotOf(std::string_view name) const;
    std::vector<std::string> names_;
    std::vector<int> slots_;  // field position, or -1 for an empty slot
    size_t mask_ = 0;
};

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

// "name" with embedded quotes doubled.
std::string QuoteName(std::string_view name);
// The SQL type a field is declared with, and back.
std::string DeclaredType(const FieldDef& field);
FieldDef FieldFromDeclaration(std::string_view name, std::string_view declaredType);

// Converts a value to what a field of this type stores; strict checks text widths.
DbError ConvertForField(const FieldDef& field, const DbValue& in, DbValue& out, bool strict);
// The common conversions of ConvertForField (strict), done straight into the value that keeps
// them: a text reuses the storage the slot already has, a number makes no temporary. False
// when the case is not one of them or does not fit; the caller then converts with
// ConvertForField, which gives the same value or the error.
bool StoreForField(const FieldDef& field, const DbValue& in, DbValue& slot);
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

DbError ClosedError();

// Resets a statement so that it can be used again, whatever happened.
inline void ResetStatement(sqlite3_stmt* stmt) {
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
}

// Definitions, shared by Database and the cursor.
DbError LookupTable(Connection& conn, std::string_view name, std::string* storedName);
DbError ReadFields(Connection& conn, const std::string& table, std::vector<FieldDef>& fields);
DbError ReadIndexes(Connection& conn, const std::string& table, std::vector<IndexDef>& indexes);

}  // namespace vantor::engine_detail
