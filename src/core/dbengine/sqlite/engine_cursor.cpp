// The table cursor: a table walked in the order of one of its indexes with keyed seeks, and
// the forward-only result of a SELECT statement.
//
// The cursor remembers the key (and rowid) of its row rather than holding a statement open,
// so that rows can be added, changed and deleted between moves; every move and seek is one
// indexed lookup through a statement prepared once per cursor shape.
//
// Inside a transaction, where no other program can change the file, MoveNext and MovePrevious
// keep a walk statement stepping from row to row instead of seeking again from the key each
// time; the walk is dropped as soon as anything may have added, removed or re-keyed rows, or
// the transaction ends, and the next move then seeks from the key as before.

#include <algorithm>

#include "common/text.h"
#include "dbengine/sqlite/engine_internal.h"

namespace vantor {

using engine_detail::ClosedError;
using engine_detail::Connection;
using engine_detail::QuoteName;
using engine_detail::ResetStatement;

namespace engine_detail {

struct CursorState {
    std::shared_ptr<Connection> conn;
    std::string table;
    std::vector<FieldDef> fields;
    FieldLookup fieldLookup;
    std::vector<int> requiredFields;  // fields of unique indexes: never Null

    std::string indexName;
    std::vector<int> keyFields;  // empty: the order rows were added in
    bool uniqueKey = false;      // keys of a unique index are never Null either

    // Position.
    bool onRow = false;
    bool deleted = false;
    bool bof = true;
    bool eof = true;
    bool noMatch = false;
    int64_t rowid = 0;
    std::vector<DbValue> row;

    EditBuffer edit;  // the row being added or edited

    // Statements (owned by the connection's cache).
    std::string selectList;
    sqlite3_stmt* first = nullptr;
    sqlite3_stmt* last = nullptr;
    sqlite3_stmt* next = nullptr;
    sqlite3_stmt* previous = nullptr;
    sqlite3_stmt* byRowid = nullptr;
    // INSERT statements by the fields they write, each with the positions it binds in order.
    // A cursor adds its rows with the same fields set, so the plan the last row used is tried
    // first: the row then costs one comparison of the flags and a bind per field.
    struct InsertPlan {
        std::vector<char> fields;
        std::vector<int> written;
        sqlite3_stmt* stmt = nullptr;
    };
    std::vector<InsertPlan> inserts;
    size_t lastInsert = 0;
    sqlite3_stmt* remove = nullptr;
    sqlite3_stmt* count = nullptr;
    std::unordered_map<uint32_t, sqlite3_stmt*> seeks;
    // UPDATE statements by the fields they write (the dirty flags of the edit).
    std::vector<std::pair<std::vector<char>, sqlite3_stmt*>> updates;

    // Walks (owned by this cursor, registered with the connection): forward and backward.
    sqlite3_stmt* walkNext = nullptr;
    sqlite3_stmt* walkPrevious = nullptr;
    sqlite3_stmt* walking = nullptr;  // the walk that produced the current row, still stepping
    uint64_t walkEpoch = 0;
    bool walksUnsafe = false;  // the walk would read from a sorted copy: never walk

    CursorState() = default;
    CursorState(const CursorState&) = delete;
    CursorState& operator=(const CursorState&) = delete;
    ~CursorState() {
        if (!Usable()) return;  // a closed connection has finalized them
        StopWalk();
        for (sqlite3_stmt* stmt : {walkNext, walkPrevious}) {
            if (!stmt) continue;
            conn->owned.erase(stmt);
            sqlite3_finalize(stmt);
        }
    }

    bool Usable() const { return conn && conn->IsOpen(); }
    void StopWalk() {
        if (!walking) return;
        if (Usable()) {
            sqlite3_reset(walking);
            conn->walking.erase(walking);
        }
        walking = nullptr;
    }
    DbError Walk(bool forward);
    std::string From() const { return " FROM " + QuoteName(table); }
    std::string OrderBy(bool descending) const;
    std::string KeyOrder(bool descending) const;
    // Lexicographic comparison of the index key (and rowid) with numbered parameters, with
    // Null below every value, for indexes that may hold Nulls.
    std::string Compare(size_t i, size_t count, bool greater, const std::string& terminal) const;

    sqlite3_stmt* Statement(sqlite3_stmt*& slot, const std::string& sql, DbError& error);
    DbError Position(sqlite3_stmt* stmt, bool found_means_row, bool atEnd);
    void LoadRow(sqlite3_stmt* stmt);
    void SetNowhere(bool atEnd);
    DbError MoveFrom(bool forward);
    DbError BindKey(sqlite3_stmt* stmt);
};

std::string CursorState::KeyOrder(bool descending) const {
    std::string order;
    for (int field : keyFields) {
        if (!order.empty()) order += ", ";
        order += QuoteName(fields[field].name);
        if (descending) order += " DESC";
    }
    return order;
}

std::string CursorState::OrderBy(bool descending) const {
    std::string order = KeyOrder(descending);
    if (!uniqueKey) {
        if (!order.empty()) order += ", ";
        order += descending ? "rowid DESC" : "rowid";
    }
    return " ORDER BY " + order + " LIMIT 1";
}

std::string CursorState::Compare(size_t i, size_t count, bool greater,
                                 const std::string& terminal) const {
    if (i == count) return terminal;
    std::string k = QuoteName(fields[keyFields[i]].name);
    std::string v = "?" + std::to_string(i + 1);
    std::string strict = greater ? "(CASE WHEN " + v + " IS NULL THEN " + k + " IS NOT NULL ELSE " +
                                       k + " > " + v + " END)"
                                 : "(CASE WHEN " + v + " IS NULL THEN 0 ELSE (" + k + " < " + v +
                                       " OR " + k + " IS NULL) END)";
    return "(" + strict + " OR (" + k + " IS " + v + " AND " +
           Compare(i + 1, count, greater, terminal) + "))";
}

sqlite3_stmt* CursorState::Statement(sqlite3_stmt*& slot, const std::string& sql, DbError& error) {
    if (!slot) slot = conn->Prepare(sql, error);
    return slot;
}

void CursorState::LoadRow(sqlite3_stmt* stmt) {
    rowid = sqlite3_column_int64(stmt, 0);
    row.resize(fields.size());
    for (size_t i = 0; i < fields.size(); ++i) {
        ReadColumnInto(stmt, static_cast<int>(i + 1), fields[i].type, row[i]);
    }
    onRow = true;
    deleted = false;
    bof = eof = false;
}

void CursorState::SetNowhere(bool atEnd) {
    onRow = false;
    deleted = false;
    eof = atEnd;
    bof = !atEnd;
}

// Steps a positioning statement: a row makes it current, no row leaves the cursor before
// the first row or after the last.
DbError CursorState::Position(sqlite3_stmt* stmt, bool /*unused*/, bool atEnd) {
    StopWalk();
    int rc = sqlite3_step(stmt);
    DbError error;
    if (rc == SQLITE_ROW) {
        LoadRow(stmt);
    } else if (rc == SQLITE_DONE) {
        SetNowhere(atEnd);
    } else {
        error = conn->ErrorOf(rc);
    }
    ResetStatement(stmt);
    return error;
}

DbError CursorState::BindKey(sqlite3_stmt* stmt) {
    for (size_t i = 0; i < keyFields.size(); ++i) {
        if (DbError error = BindValue(stmt, static_cast<int>(i + 1), row[keyFields[i]]);
            !error.Ok())
            return error;
    }
    if (keyFields.empty() || !uniqueKey) {
        return BindResult(sqlite3_bind_int64(stmt, static_cast<int>(keyFields.size() + 1), rowid));
    }
    return {};
}

// Moves by a walk statement: continues the walk that produced the current row when nothing
// may have changed the order since, else starts one from the current key. Only inside a
// transaction (outside one an open statement would keep an old view of the file) and only in
// the order of a unique index or of the rows' addition, where the key alone places a row.
DbError CursorState::Walk(bool forward) {
    sqlite3_stmt*& slot = forward ? walkNext : walkPrevious;
    const bool continuing =
        walking != nullptr && walking == slot && walkEpoch == conn->epoch && !deleted && onRow;
    if (!continuing) {
        StopWalk();
        if (!slot) {
            std::string where;
            size_t n = keyFields.size();
            if (n == 0) {
                where = std::string("rowid ") + (forward ? "> ?1" : "< ?1");
            } else {
                std::string keys = KeyOrder(false);
                std::string params;
                for (size_t i = 0; i < n; ++i) params += (i ? ", ?" : "?") + std::to_string(i + 1);
                where = n == 1 ? keys + (forward ? " > " : " < ") + params
                               : "(" + keys + ")" + (forward ? " > (" : " < (") + params + ")";
            }
            std::string order =
                keyFields.empty() ? (forward ? "rowid" : "rowid DESC") : KeyOrder(!forward);
            std::string sql =
                "SELECT " + selectList + From() + " WHERE " + where + " ORDER BY " + order;
            int rc = sqlite3_prepare_v3(conn->db, sql.c_str(), static_cast<int>(sql.size()),
                                        SQLITE_PREPARE_PERSISTENT, &slot, nullptr);
            if (rc != SQLITE_OK) {
                slot = nullptr;
                return conn->ErrorOf(rc);
            }
            conn->owned.insert(slot);
        }
        if (DbError error = BindKey(slot); !error.Ok()) return error;
    }
    int rc = sqlite3_step(slot);
    if (rc == SQLITE_ROW) {
        LoadRow(slot);
        // A walk that reads from a sorted or indexed copy would not see later changes to the
        // rows ahead: this row is right, but such a cursor never walks again.
        if (sqlite3_stmt_status(slot, SQLITE_STMTSTATUS_SORT, 0) > 0 ||
            sqlite3_stmt_status(slot, SQLITE_STMTSTATUS_AUTOINDEX, 0) > 0) {
            walksUnsafe = true;
            sqlite3_reset(slot);
            conn->walking.erase(slot);
            walking = nullptr;
            return {};
        }
        walking = slot;
        walkEpoch = conn->epoch;
        conn->walking.insert(slot);
        return {};
    }
    sqlite3_reset(slot);
    conn->walking.erase(slot);
    walking = nullptr;
    if (rc != SQLITE_DONE) return conn->ErrorOf(rc);
    SetNowhere(forward);
    return {};
}

DbError CursorState::MoveFrom(bool forward) {
    if (!walksUnsafe && (keyFields.empty() || uniqueKey) && !sqlite3_get_autocommit(conn->db)) {
        return Walk(forward);
    }
    DbError error;
    sqlite3_stmt*& slot = forward ? next : previous;
    if (!slot) {
        std::string where;
        size_t n = keyFields.size();
        std::string rowidParam = "?" + std::to_string(n + 1);
        if (n == 0) {
            where = std::string("rowid ") + (forward ? ">" : "<") + " " + rowidParam;
        } else if (uniqueKey) {
            std::string keys = KeyOrder(false);
            std::string params;
            for (size_t i = 0; i < n; ++i) params += (i ? ", ?" : "?") + std::to_string(i + 1);
            where = n == 1 ? keys + (forward ? " > " : " < ") + params
                           : "(" + keys + ")" + (forward ? " > (" : " < (") + params + ")";
        } else {
            where = Compare(0, n, forward,
                            std::string("rowid ") + (forward ? "> " : "< ") + rowidParam);
        }
        std::string sql = "SELECT " + selectList + From() + " WHERE " + where + OrderBy(!forward);
        if (!Statement(slot, sql, error)) return error;
    }
    if (!(error = BindKey(slot)).Ok()) return error;
    return Position(slot, true, forward);
}

}  // namespace engine_detail

using engine_detail::CursorState;
using engine_detail::SqliteCursor;
using engine_detail::SqliteDatabase;
using engine_detail::SqliteQuery;

SqliteCursor::SqliteCursor() = default;
SqliteCursor::~SqliteCursor() = default;

// ---------------------------------------------------------------------------------------------

bool SqliteCursor::IsOpen() const {
    return state_ && state_->Usable();
}
const std::string& SqliteCursor::TableName() const {
    static const std::string kNone;
    return state_ ? state_->table : kNone;
}

const std::vector<FieldDef>& SqliteCursor::Fields() const {
    static const std::vector<FieldDef> kNone;
    return state_ ? state_->fields : kNone;
}

const std::string& SqliteCursor::IndexName() const {
    static const std::string kNone;
    return state_ ? state_->indexName : kNone;
}

DbError SqliteDatabase::OpenTable(std::string_view table, std::unique_ptr<engine_detail::CursorBackend>& result,
                            std::string_view indexName) const {
    result.reset();
    if (!IsOpen()) return ClosedError();
    auto state = std::make_unique<CursorState>();
    state->conn = conn_;
    if (DbError error = engine_detail::LookupTable(*conn_, table, &state->table); !error.Ok())
        return error;
    if (DbError error = engine_detail::ReadFields(*conn_, state->table, state->fields);
        !error.Ok()) {
        return error;
    }
    state->fieldLookup.Build(state->fields);
    std::vector<IndexDef> indexes;
    if (DbError error = engine_detail::ReadIndexes(*conn_, state->table, indexes); !error.Ok())
        return error;
    for (const IndexDef& index : indexes) {
        if (!index.unique) continue;
        for (const std::string& name : index.fields) {
            int field = state->fieldLookup.Find(name);
            if (field >= 0) state->requiredFields.push_back(field);
        }
    }
    state->selectList = "rowid";
    for (const FieldDef& field : state->fields) state->selectList += ", " + QuoteName(field.name);
    auto cursor = std::make_unique<SqliteCursor>();
    cursor->state_ = std::move(state);
    if (!indexName.empty()) {
        DbError error = cursor->SetIndex(indexName);
        if (error.Ok()) result = std::move(cursor);
        return error;
    }
    // An empty table simply leaves the cursor at both ends; any other failure is the opening's.
    if (DbError error = cursor->MoveFirst(); !error.Ok() && error.number != err::kNoCurrentRecord) {
        return error;
    }
    result = std::move(cursor);
    return {};
}

DbError SqliteCursor::SetIndex(std::string_view indexName) {
    if (!IsOpen()) return ClosedError();
    CursorState& s = *state_;
    std::vector<IndexDef> indexes;
    if (DbError error = engine_detail::ReadIndexes(*s.conn, s.table, indexes); !error.Ok())
        return error;
    auto it = std::find_if(indexes.begin(), indexes.end(), [&](const IndexDef& index) {
        return EqualsNoCase(index.name, indexName);
    });
    if (it == indexes.end()) {
        return DbError::Make(err::kItemNotFound,
                             "'" + std::string(indexName) + "' is not an index in this table.");
    }
    std::vector<int> keys;
    for (const std::string& name : it->fields) {
        int field = s.fieldLookup.Find(name);
        if (field < 0) return DbError::Make(err::kItemNotFound, "No field " + name);
        keys.push_back(field);
    }
    s.indexName = it->name;
    s.keyFields = std::move(keys);
    s.uniqueKey = it->unique;
    s.first = s.last = s.next = s.previous = nullptr;
    s.seeks.clear();
    // The walks follow the old index: they are prepared again for the new one.
    s.StopWalk();
    for (sqlite3_stmt*& stmt : {std::ref(s.walkNext), std::ref(s.walkPrevious)}) {
        if (!stmt) continue;
        s.conn->owned.erase(stmt);
        sqlite3_finalize(stmt);
        stmt = nullptr;
    }
    s.walksUnsafe = false;
    s.edit.mode = EditMode::None;
    // The new index starts at its first row; an empty table has none, which is no failure.
    if (DbError error = MoveFirst(); !error.Ok() && error.number != err::kNoCurrentRecord)
        return error;
    return {};
}

DbError SqliteCursor::MoveFirst() {
    if (!IsOpen()) return ClosedError();
    CursorState& s = *state_;
    s.edit.mode = EditMode::None;
    s.noMatch = false;
    DbError error;
    std::string order = s.keyFields.empty() ? " ORDER BY rowid LIMIT 1" : s.OrderBy(false);
    if (!s.Statement(s.first, "SELECT " + s.selectList + s.From() + order, error)) return error;
    if (!(error = s.Position(s.first, true, true)).Ok()) return error;
    if (!s.onRow) {
        s.bof = s.eof = true;
        return DbError::Make(err::kNoCurrentRecord, "No current record.");
    }
    return {};
}

DbError SqliteCursor::MoveLast() {
    if (!IsOpen()) return ClosedError();
    CursorState& s = *state_;
    s.edit.mode = EditMode::None;
    s.noMatch = false;
    DbError error;
    std::string order = s.keyFields.empty() ? " ORDER BY rowid DESC LIMIT 1" : s.OrderBy(true);
    if (!s.Statement(s.last, "SELECT " + s.selectList + s.From() + order, error)) return error;
    if (!(error = s.Position(s.last, true, true)).Ok()) return error;
    if (!s.onRow) {
        s.bof = s.eof = true;
        return DbError::Make(err::kNoCurrentRecord, "No current record.");
    }
    return {};
}

DbError SqliteCursor::MoveNext() {
    if (!IsOpen()) return ClosedError();
    CursorState& s = *state_;
    s.edit.mode = EditMode::None;
    s.noMatch = false;
    if (s.eof) return DbError::Make(err::kNoCurrentRecord, "No current record.");
    if (!s.onRow) return MoveFirst();  // before the first row
    return s.MoveFrom(true);
}

DbError SqliteCursor::MovePrevious() {
    if (!IsOpen()) return ClosedError();
    CursorState& s = *state_;
    s.edit.mode = EditMode::None;
    s.noMatch = false;
    if (s.bof) return DbError::Make(err::kNoCurrentRecord, "No current record.");
    if (!s.onRow) return MoveLast();  // after the last row
    return s.MoveFrom(false);
}

bool SqliteCursor::Eof() const {
    return !state_ || state_->eof;
}
bool SqliteCursor::Bof() const {
    return !state_ || state_->bof;
}
bool SqliteCursor::HasCurrent() const {
    return state_ && state_->onRow && !state_->deleted;
}
bool SqliteCursor::NoMatch() const {
    return state_ && state_->noMatch;
}

DbError SqliteCursor::Seek(SeekOp op, std::span<const DbValue> keys) {
    if (!IsOpen()) return ClosedError();
    CursorState& s = *state_;
    s.edit.mode = EditMode::None;
    if (s.keyFields.empty()) {
        return DbError::Make(err::kNoCurrentIndex, "Operation invalid without a current index.");
    }
    if (keys.empty() || keys.size() > s.keyFields.size()) {
        return DbError::Make(err::kInvalidArgument, "The key does not fit the index.");
    }
    size_t m = keys.size();
    std::vector<DbValue> values(m);
    uint32_t nullMask = 0;
    for (size_t i = 0; i < m; ++i) {
        if (DbError error =
                engine_detail::ConvertForField(s.fields[s.keyFields[i]], keys[i], values[i], false);
            !error.Ok()) {
            return error;
        }
        if (values[i].IsNull()) nullMask |= 1u << i;
    }
    uint32_t cacheKey =
        static_cast<uint32_t>(op) | (static_cast<uint32_t>(m) << 3) | (nullMask << 8);
    sqlite3_stmt*& slot = s.seeks[cacheKey];
    bool descending = op == SeekOp::Less || op == SeekOp::LessOrEqual;
    if (!slot) {
        std::string where;
        bool simple = s.uniqueKey && nullMask == 0;
        if (op == SeekOp::Equal) {
            for (size_t i = 0; i < m; ++i) {
                if (i) where += " AND ";
                where += QuoteName(s.fields[s.keyFields[i]].name) +
                         (values[i].IsNull() ? " IS ?" : " = ?") + std::to_string(i + 1);
            }
        } else if (simple) {
            const char* comparison = op == SeekOp::Greater          ? " > "
                                     : op == SeekOp::GreaterOrEqual ? " >= "
                                     : op == SeekOp::Less           ? " < "
                                                                    : " <= ";
            std::string keysText, params;
            for (size_t i = 0; i < m; ++i) {
                if (i) {
                    keysText += ", ";
                    params += ", ";
                }
                keysText += QuoteName(s.fields[s.keyFields[i]].name);
                params += "?" + std::to_string(i + 1);
            }
            where = m == 1 ? keysText + comparison + params
                           : "(" + keysText + ")" + comparison + "(" + params + ")";
        } else {
            bool greater = op == SeekOp::Greater || op == SeekOp::GreaterOrEqual;
            bool orEqual = op == SeekOp::GreaterOrEqual || op == SeekOp::LessOrEqual;
            where = s.Compare(0, m, greater, orEqual ? "1" : "0");
        }
        std::string sql =
            "SELECT " + s.selectList + s.From() + " WHERE " + where + s.OrderBy(descending);
        DbError error;
        slot = s.conn->Prepare(sql, error);
        if (!slot) {
            s.seeks.erase(cacheKey);
            return error;
        }
    }
    for (size_t i = 0; i < m; ++i) {
        if (DbError error = engine_detail::BindValue(slot, static_cast<int>(i + 1), values[i]);
            !error.Ok())
            return error;
    }
    if (DbError error = s.Position(slot, true, true); !error.Ok()) return error;
    s.noMatch = !s.onRow;
    return {};
}

int SqliteCursor::FieldIndex(std::string_view name) const {
    if (!state_) return -1;
    return state_->fieldLookup.Find(name);
}

DbError SqliteCursor::GetField(int index, DbValue& value) const {
    value = DbValue();
    if (!IsOpen()) return ClosedError();
    const CursorState& s = *state_;
    if (index < 0 || index >= static_cast<int>(s.fields.size())) {
        return DbError::Make(err::kItemNotFound, "Item not found in this collection.");
    }
    if (s.edit.mode != EditMode::None) {
        value = s.edit.Edited(index, s.row);
        return {};
    }
    if (s.deleted) return DbError::Make(err::kRecordIsDeleted);
    if (!s.onRow) return DbError::Make(err::kNoCurrentRecord, "No current record.");
    value = s.row[index];
    return {};
}

DbError SqliteCursor::AddNew() {
    if (!IsOpen()) return ClosedError();
    CursorState& s = *state_;
    s.edit.Begin(EditMode::AddNew, s.fields.size());
    return {};
}

DbError SqliteCursor::Edit() {
    if (!IsOpen()) return ClosedError();
    CursorState& s = *state_;
    if (s.deleted) return DbError::Make(err::kRecordIsDeleted);
    if (!s.onRow) return DbError::Make(err::kNoCurrentRecord, "No current record.");
    s.edit.Begin(EditMode::Edit, s.fields.size());
    return {};
}

DbError SqliteCursor::Set(int index, const DbValue& value) {
    if (!IsOpen()) return ClosedError();
    return state_->edit.Set(state_->fields, index, value);
}

DbError SqliteCursor::Update() {
    if (!IsOpen()) return ClosedError();
    CursorState& s = *state_;
    if (DbError error = s.edit.CheckRequired(s.requiredFields, s.row); !error.Ok())
        return error;
    DbError error;
    if (s.edit.mode == EditMode::AddNew) {
        // Only the fields that were set are written: a column this program does not know (one
        // a station added, perhaps NOT NULL with a default) takes its own default, as a new
        // row's untouched fields do in the desktop engine, instead of a Null it may refuse.
        if (s.lastInsert >= s.inserts.size() || s.inserts[s.lastInsert].fields != s.edit.dirty) {
            s.lastInsert = s.inserts.size();
            for (size_t i = 0; i < s.inserts.size(); ++i) {
                if (s.inserts[i].fields == s.edit.dirty) {
                    s.lastInsert = i;
                    break;
                }
            }
        }
        if (s.lastInsert == s.inserts.size()) {
            CursorState::InsertPlan plan;
            plan.fields = s.edit.dirty;
            for (size_t i = 0; i < s.fields.size(); ++i) {
                if (s.edit.dirty[i]) plan.written.push_back(static_cast<int>(i));
            }
            std::string columns, params;
            for (size_t i = 0; i < plan.written.size(); ++i) {
                if (i) {
                    columns += ", ";
                    params += ", ";
                }
                columns += QuoteName(s.fields[plan.written[i]].name);
                params += "?" + std::to_string(i + 1);
            }
            std::string sql = "INSERT INTO " + QuoteName(s.table) +
                              (plan.written.empty()
                                   ? std::string(" DEFAULT VALUES")
                                   : " (" + columns + ") VALUES (" + params + ")");
            plan.stmt = s.conn->Prepare(sql, error);
            if (!plan.stmt) return error;
            s.inserts.push_back(std::move(plan));
        }
        const CursorState::InsertPlan& plan = s.inserts[s.lastInsert];
        sqlite3_stmt* insert = plan.stmt;
        const std::vector<int>& written = plan.written;
        // Every parameter is bound afresh for each row, from a buffer that outlives the step.
        engine_detail::StatementReset reset(insert);
        for (size_t i = 0; i < written.size(); ++i) {
            if (DbError bound = engine_detail::BindValue(insert, static_cast<int>(i + 1),
                                                         s.edit.values[written[i]], true);
                !bound.Ok())
                return bound;  // the edit buffer stays for the caller to cancel or mend
        }
        if (int rc = sqlite3_step(insert); rc != SQLITE_DONE) {
            return s.conn->ErrorOf(rc);  // the edit buffer stays for the caller to cancel or mend
        }
        ++s.conn->epoch;  // a new row: walks in progress may have to see it
        s.edit.mode = EditMode::None;
        return {};
    }

    // Only the fields that were set are written, so that a change another workstation made
    // to the row's other fields meanwhile is kept.
    std::vector<int> changed;
    bool keyChanged = false;
    for (size_t i = 0; i < s.fields.size(); ++i) {
        if (!s.edit.dirty[i]) continue;
        changed.push_back(static_cast<int>(i));
        if (std::find(s.requiredFields.begin(), s.requiredFields.end(), static_cast<int>(i)) !=
            s.requiredFields.end()) {
            keyChanged = true;
        }
    }
    if (changed.empty()) {
        s.edit.mode = EditMode::None;
        return {};
    }
    // One statement per set of written fields, found by the dirty flags rather than by
    // building its text for every row.
    sqlite3_stmt* stmt = nullptr;
    for (const auto& [fieldsWritten, prepared] : s.updates) {
        if (fieldsWritten == s.edit.dirty) {
            stmt = prepared;
            break;
        }
    }
    if (!stmt) {
        std::string assignments;
        for (size_t i = 0; i < changed.size(); ++i) {
            if (i) assignments += ", ";
            assignments += QuoteName(s.fields[changed[i]].name) + " = ?" + std::to_string(i + 1);
        }
        std::string sql = "UPDATE " + QuoteName(s.table) + " SET " + assignments +
                          " WHERE rowid = ?" + std::to_string(changed.size() + 1);
        stmt = s.conn->Prepare(sql, error);
        if (!stmt) return error;
        s.updates.emplace_back(s.edit.dirty, stmt);
    }
    bool missing = false;
    {
        engine_detail::StatementReset reset(stmt);
        for (size_t i = 0; i < changed.size(); ++i) {
            if (DbError bound = engine_detail::BindValue(stmt, static_cast<int>(i + 1),
                                                         s.edit.values[changed[i]], true);
                !bound.Ok())
                return bound;
        }
        if (DbError bound = engine_detail::BindResult(
                sqlite3_bind_int64(stmt, static_cast<int>(changed.size() + 1), s.rowid));
            !bound.Ok())
            return bound;
        if (int rc = sqlite3_step(stmt); rc != SQLITE_DONE) return s.conn->ErrorOf(rc);
        missing = sqlite3_changes(s.conn->db) == 0;
    }
    // A changed key moves the row in its index: walks in progress may pass it or meet it twice.
    if (keyChanged) ++s.conn->epoch;
    if (missing) {
        s.edit.mode = EditMode::None;
        s.deleted = true;
        return DbError::Make(err::kRecordIsDeleted);
    }
    for (int field : changed) s.row[field] = std::move(s.edit.values[field]);
    s.edit.mode = EditMode::None;
    return {};
}

void SqliteCursor::CancelUpdate() {
    if (state_) state_->edit.mode = EditMode::None;
}

EditMode SqliteCursor::Mode() const {
    return state_ ? state_->edit.mode : EditMode::None;
}

DbError SqliteCursor::Delete() {
    if (!IsOpen()) return ClosedError();
    CursorState& s = *state_;
    s.edit.mode = EditMode::None;
    if (s.deleted) return DbError::Make(err::kRecordIsDeleted);
    if (!s.onRow) return DbError::Make(err::kNoCurrentRecord, "No current record.");
    DbError error;
    if (!s.Statement(s.remove, "DELETE" + s.From() + " WHERE rowid = ?1", error)) return error;
    error = engine_detail::BindResult(sqlite3_bind_int64(s.remove, 1, s.rowid));
    if (error.Ok()) {
        int rc = sqlite3_step(s.remove);
        if (rc != SQLITE_DONE) error = s.conn->ErrorOf(rc);
    }
    ResetStatement(s.remove);
    if (!error.Ok()) return error;
    ++s.conn->epoch;  // walks in progress carry on from the key instead
    // The row's key stays known, so that MoveNext carries on from its place.
    s.deleted = true;
    return {};
}

DbError SqliteCursor::RecordCount(long long& count) const {
    count = 0;
    if (!IsOpen()) return ClosedError();
    CursorState& s = *state_;
    DbError error;
    if (!s.Statement(s.count, "SELECT count(*)" + s.From(), error)) return error;
    int rc = sqlite3_step(s.count);
    if (rc == SQLITE_ROW) {
        count = sqlite3_column_int64(s.count, 0);
    } else {
        error = s.conn->ErrorOf(rc);
    }
    ResetStatement(s.count);
    return error;
}

// ---------------------------------------------------------------------------------------------
// Query results

namespace engine_detail {

struct QueryState {
    std::shared_ptr<Connection> conn;
    sqlite3_stmt* stmt = nullptr;
    bool owned = false;  // prepared for this result alone (the cached one was in use)
    bool eof = true;
    std::vector<std::string> names;
    std::vector<std::optional<FieldType>> types;
    NoCaseIndexMap nameIndex;
    std::vector<DbValue> row;

    ~QueryState() { Release(); }

    void Release() {
        if (!stmt) return;
        if (conn && conn->IsOpen()) {
            if (owned) {
                conn->owned.erase(stmt);
                sqlite3_finalize(stmt);
            } else {
                conn->busy.erase(stmt);
                ResetStatement(stmt);
            }
        }
        stmt = nullptr;
    }

    DbError Step() {
        if (!conn || !conn->IsOpen()) {
            stmt = nullptr;
            eof = true;
            return ClosedError();
        }
        int rc = sqlite3_step(stmt);
        if (rc == SQLITE_ROW) {
            row.resize(names.size());
            for (size_t i = 0; i < names.size(); ++i) {
                row[i] = types[i] ? ReadColumn(stmt, static_cast<int>(i), *types[i])
                                  : ReadColumnAsStored(stmt, static_cast<int>(i));
            }
            eof = false;
            return {};
        }
        eof = true;
        row.clear();
        DbError error = rc == SQLITE_DONE ? DbError() : conn->ErrorOf(rc);
        Release();  // lets the next query use the cached statement
        return error;
    }
};

}  // namespace engine_detail

SqliteQuery::SqliteQuery() = default;
SqliteQuery::~SqliteQuery() = default;

bool SqliteQuery::IsOpen() const {
    return state_ && state_->conn && state_->conn->IsOpen();
}
bool SqliteQuery::Eof() const {
    return !state_ || state_->eof;
}

DbError SqliteQuery::MoveNext() {
    if (!IsOpen()) return ClosedError();
    if (state_->eof) return DbError::Make(err::kNoCurrentRecord, "No current record.");
    return state_->Step();
}

int SqliteQuery::FieldCount() const {
    return state_ ? static_cast<int>(state_->names.size()) : 0;
}

std::string SqliteQuery::FieldName(int index) const {
    if (!state_ || index < 0 || index >= FieldCount()) return "";
    return state_->names[index];
}

int SqliteQuery::FieldIndex(std::string_view name) const {
    if (!state_) return -1;
    auto it = state_->nameIndex.find(name);
    return it == state_->nameIndex.end() ? -1 : it->second;
}

DbValue SqliteQuery::Field(int index) const {
    if (!state_ || state_->eof || index < 0 || index >= FieldCount()) return DbValue();
    return state_->row[index];
}

DbError SqliteDatabase::Query(std::string_view sql, std::span<const DbValue> params,
                             std::unique_ptr<engine_detail::QueryBackend>& result) const {
    result.reset();
    if (!IsOpen()) return ClosedError();
    DbError error;
    std::string text = Trim(sql);
    sqlite3_stmt* stmt = conn_->Prepare(text, error);
    if (!stmt) return error;
    auto state = std::make_unique<engine_detail::QueryState>();
    state->conn = conn_;
    if (conn_->busy.count(stmt)) {
        // The cached statement is still being read by another result: this one gets its own.
        sqlite3_stmt* own = nullptr;
        int rc = sqlite3_prepare_v2(conn_->db, text.c_str(), static_cast<int>(text.size()), &own,
                                    nullptr);
        if (rc != SQLITE_OK) return conn_->ErrorOf(rc);
        conn_->owned.insert(own);
        state->owned = true;
        stmt = own;
    } else {
        conn_->busy.insert(stmt);
    }
    state->stmt = stmt;
    if (static_cast<int>(params.size()) != sqlite3_bind_parameter_count(stmt)) {
        return DbError::Make(err::kTooFewParameters, "Too few parameters.");
    }
    for (size_t i = 0; i < params.size(); ++i) {
        if (DbError error = engine_detail::BindValue(stmt, static_cast<int>(i + 1), params[i]);
            !error.Ok())
            return error;
    }
    int columns = sqlite3_column_count(stmt);
    for (int i = 0; i < columns; ++i) {
        const char* name = sqlite3_column_name(stmt, i);
        state->names.emplace_back(name ? name : "");
        state->nameIndex.emplace(state->names.back(), i);
        const char* declared = sqlite3_column_decltype(stmt, i);
        if (declared) {
            state->types.push_back(engine_detail::FieldFromDeclaration("", declared).type);
        } else {
            state->types.push_back(std::nullopt);
        }
    }
    error = state->Step();
    if (!error.Ok()) return error;
    auto query = std::make_unique<SqliteQuery>();
    query->state_ = std::move(state);
    result = std::move(query);
    return {};
}

}  // namespace vantor
