// The PostgreSQL backend's table cursor and query results.
//
// The cursor remembers the key (and row number) of its row, as the embedded engine's does, so
// that rows can be added, changed and deleted between moves. A round trip to a server costs
// more than reading a row, so every move that has to ask the server fetches a window of the
// rows that follow in the direction of the move; the next moves are served from the window
// until it runs out or something this connection did may have added, removed or re-keyed
// rows.

#include <algorithm>

#include "common/text.h"
#include "dbengine/postgres/pg_internal.h"

namespace vantor::engine_detail {

namespace {

// Rows fetched ahead by a move that asks the server.
constexpr int kWindowRows = 100;
// Rows a batch holds at most before it sends them: an hour's rows go in one round trip, and a
// caller that adds rows without end holds no more than this many in memory.
constexpr size_t kBatchRows = 1000;

DbError NoCurrentRecord() {
    return DbError::Make(err::kNoCurrentRecord, "No current record.");
}

}  // namespace

struct PgCursorState {
    std::shared_ptr<PgConnection> conn;
    std::string table;
    std::string sqlTable;
    std::vector<FieldDef> fields;
    FieldLookup fieldLookup;
    std::vector<int> requiredFields;  // fields of unique indexes: never Null
    std::string selectList;

    std::string indexName;
    std::vector<int> keyFields;  // empty: the order rows were added in
    bool uniqueKey = false;

    // Position.
    bool onRow = false;
    bool deleted = false;
    bool bof = true;
    bool eof = true;
    bool noMatch = false;
    long long rowid = 0;
    std::vector<DbValue> row;

    // Rows fetched ahead, in index order, and where the current row is among them.
    struct WindowRow {
        long long rowid;
        std::vector<DbValue> values;
    };
    std::vector<WindowRow> window;
    size_t windowPos = 0;
    bool windowFromStart = false;  // nothing comes before the window's first row
    bool windowToEnd = false;      // nothing comes after its last
    uint64_t windowEpoch = 0;

    EditBuffer edit;  // the row being added or edited

    uint64_t batch = 0;    // the batch added rows join (AddedRowsBatch); 0: none
    size_t batchRows = 0;  // rows the batch has taken so far

    bool Usable() const { return conn && conn->IsOpen(); }
    bool WindowValid() const {
        return !window.empty() && windowEpoch == conn->epoch && windowPos < window.size() &&
               window[windowPos].rowid == rowid && onRow;
    }
    void Take(size_t pos) {
        windowPos = pos;
        rowid = window[pos].rowid;
        row = window[pos].values;
        onRow = true;
        deleted = false;
        bof = eof = false;
    }
    void SetNowhere(bool atEnd) {
        onRow = false;
        deleted = false;
        eof = atEnd;
        bof = !atEnd;
        window.clear();
    }
    std::string OrderBy(bool descending) const {
        std::string order;
        for (int field : keyFields) {
            if (!order.empty()) order += ", ";
            order += PgName(fields[field].name) +
                     (descending ? " DESC NULLS LAST" : " ASC NULLS FIRST");
        }
        if (keyFields.empty() || !uniqueKey) {
            if (!order.empty()) order += ", ";
            order += std::string(kRowIdColumn) + (descending ? " DESC" : "");
        }
        return " ORDER BY " + order;
    }
    // A parameter for a value of this field: its placeholder, the value joining params.
    std::string Param(FieldType type, const DbValue& value, PgParams& params) const {
        params.push_back(PgText(value));
        return "$" + std::to_string(params.size()) + PgCast(type);
    }
    // Rows after (greater) or before the first count key values, Nulls below every value;
    // terminal decides between rows with equal keys.
    std::string Compare(size_t i, std::span<const DbValue> key, bool greater,
                        const std::string& terminal, PgParams& params) const {
        if (i == key.size()) return terminal;
        const FieldDef& field = fields[keyFields[i]];
        std::string k = PgName(field.name);
        std::string strict, equal;
        if (key[i].IsNull()) {
            strict = greater ? k + " IS NOT NULL" : "FALSE";
            equal = k + " IS NULL";
        } else {
            std::string v = Param(field.type, key[i], params);
            strict = greater ? k + " > " + v : "(" + k + " < " + v + " OR " + k + " IS NULL)";
            equal = k + " = " + v;
        }
        return "(" + strict + " OR (" + equal + " AND " +
               Compare(i + 1, key, greater, terminal, params) + "))";
    }
    // Runs a positioning query and takes its first row (or none) as current; the rest wait
    // in the window.
    DbError Fetch(const std::string& where, const PgParams& params, bool descending, int limit,
                  bool fromStart, bool atEnd) {
        PgResult result;
        std::string sql = "SELECT " + selectList + " FROM " + sqlTable +
                          (where.empty() ? "" : " WHERE " + where) + OrderBy(descending) +
                          " LIMIT " + std::to_string(limit);
        if (DbError error = conn->Run(sql, params, &result); !error.Ok()) return error;
        int count = PQntuples(result.get());
        window.clear();
        window.reserve(count);
        for (int r = 0; r < count; ++r) {
            WindowRow fetched{std::strtoll(PQgetvalue(result.get(), r, 0), nullptr, 10), {}};
            fetched.values.reserve(fields.size());
            for (size_t f = 0; f < fields.size(); ++f) {
                fetched.values.push_back(
                    PgValue(result.get(), r, static_cast<int>(f + 1), fields[f].type));
            }
            window.push_back(std::move(fetched));
        }
        if (count == 0) {
            SetNowhere(atEnd);
            return {};
        }
        bool complete = count < limit;
        if (descending) {
            std::reverse(window.begin(), window.end());
            windowFromStart = complete;
            windowToEnd = fromStart;  // a backward fetch from the end
        } else {
            windowFromStart = fromStart;
            windowToEnd = complete;
        }
        windowEpoch = conn->epoch;
        Take(descending ? window.size() - 1 : 0);
        return {};
    }
    // The row after or before the current one, asking the server when the window cannot say.
    DbError MoveFrom(bool forward) {
        if (WindowValid()) {
            if (forward && windowPos + 1 < window.size()) {
                Take(windowPos + 1);
                return {};
            }
            if (!forward && windowPos > 0) {
                Take(windowPos - 1);
                return {};
            }
            if (forward ? windowToEnd : windowFromStart) {
                SetNowhere(forward);
                return {};
            }
        }
        PgParams params;
        std::vector<DbValue> key;
        for (int field : keyFields) key.push_back(row[field]);
        std::string rowidTerm = std::string(kRowIdColumn) + (forward ? " > " : " < ") + "$";
        std::string where;
        if (keyFields.empty()) {
            params.push_back(std::to_string(rowid));
            where = rowidTerm + "1::bigint";
        } else if (uniqueKey) {
            where = Compare(0, key, forward, "FALSE", params);
        } else {
            // The row number's parameter comes after the key's.
            size_t keyParams = static_cast<size_t>(std::count_if(
                key.begin(), key.end(), [](const DbValue& v) { return !v.IsNull(); }));
            std::string terminal = rowidTerm + std::to_string(keyParams + 1) + "::bigint";
            where = Compare(0, key, forward, terminal, params);
            params.push_back(std::to_string(rowid));
        }
        return Fetch(where, params, !forward, kWindowRows, false, forward);
    }
};

// ---------------------------------------------------------------------------------------------
// Opening

DbError PgDatabase::OpenTable(std::string_view table, std::unique_ptr<CursorBackend>& result,
                              std::string_view indexName) const {
    result.reset();
    if (!IsOpen()) return ClosedError();
    auto state = std::make_unique<PgCursorState>();
    state->conn = conn_;
    if (DbError error = PgLookupTable(*conn_, table, &state->table); !error.Ok()) return error;
    state->sqlTable = PgName(state->table);
    if (DbError error = PgReadFields(*conn_, state->table, state->fields); !error.Ok())
        return error;
    state->fieldLookup.Build(state->fields);
    std::vector<IndexDef> indexes;
    if (DbError error = PgReadIndexes(*conn_, state->table, indexes); !error.Ok()) return error;
    for (const IndexDef& index : indexes) {
        if (!index.unique) continue;
        for (const std::string& name : index.fields) {
            int field = state->fieldLookup.Find(name);
            if (field >= 0) state->requiredFields.push_back(field);
        }
    }
    state->selectList = std::string(kRowIdColumn);
    for (const FieldDef& field : state->fields) state->selectList += ", " + PgName(field.name);
    auto cursor = std::make_unique<PgCursor>();
    cursor->state_ = std::move(state);
    if (!indexName.empty()) {
        DbError error = cursor->SetIndex(indexName);
        if (error.Ok()) result = std::move(cursor);
        return error;
    }
    if (DbError error = cursor->MoveFirst(); !error.Ok() && error.number != err::kNoCurrentRecord) {
        return error;
    }
    result = std::move(cursor);
    return {};
}

PgCursor::PgCursor() = default;
PgCursor::~PgCursor() = default;

bool PgCursor::IsOpen() const {
    return state_ && state_->Usable();
}

const std::string& PgCursor::TableName() const {
    return state_->table;
}

const std::vector<FieldDef>& PgCursor::Fields() const {
    return state_->fields;
}

const std::string& PgCursor::IndexName() const {
    return state_->indexName;
}

DbError PgCursor::SetIndex(std::string_view indexName) {
    if (!IsOpen()) return ClosedError();
    PgCursorState& s = *state_;
    std::vector<IndexDef> indexes;
    if (DbError error = PgReadIndexes(*s.conn, s.table, indexes); !error.Ok()) return error;
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
    s.window.clear();
    s.edit.mode = EditMode::None;
    if (DbError error = MoveFirst(); !error.Ok() && error.number != err::kNoCurrentRecord)
        return error;
    return {};
}

// ---------------------------------------------------------------------------------------------
// Moving

DbError PgCursor::MoveFirst() {
    if (!IsOpen()) return ClosedError();
    PgCursorState& s = *state_;
    s.edit.mode = EditMode::None;
    s.noMatch = false;
    if (DbError error = s.Fetch("", {}, false, kWindowRows, true, true); !error.Ok()) return error;
    if (!s.onRow) {
        s.bof = s.eof = true;
        return NoCurrentRecord();
    }
    return {};
}

DbError PgCursor::MoveLast() {
    if (!IsOpen()) return ClosedError();
    PgCursorState& s = *state_;
    s.edit.mode = EditMode::None;
    s.noMatch = false;
    if (DbError error = s.Fetch("", {}, true, kWindowRows, true, false); !error.Ok()) return error;
    if (!s.onRow) {
        s.bof = s.eof = true;
        return NoCurrentRecord();
    }
    return {};
}

DbError PgCursor::MoveNext() {
    if (!IsOpen()) return ClosedError();
    PgCursorState& s = *state_;
    s.edit.mode = EditMode::None;
    s.noMatch = false;
    if (s.eof) return NoCurrentRecord();
    if (!s.onRow) return MoveFirst();  // before the first row
    return s.MoveFrom(true);
}

DbError PgCursor::MovePrevious() {
    if (!IsOpen()) return ClosedError();
    PgCursorState& s = *state_;
    s.edit.mode = EditMode::None;
    s.noMatch = false;
    if (s.bof) return NoCurrentRecord();
    if (!s.onRow) return MoveLast();  // after the last row
    return s.MoveFrom(false);
}

bool PgCursor::Eof() const {
    return state_->eof;
}
bool PgCursor::Bof() const {
    return state_->bof;
}
bool PgCursor::HasCurrent() const {
    return state_->onRow && !state_->deleted;
}
bool PgCursor::NoMatch() const {
    return state_->noMatch;
}

DbError PgCursor::Seek(SeekOp op, std::span<const DbValue> keys) {
    if (!IsOpen()) return ClosedError();
    PgCursorState& s = *state_;
    s.edit.mode = EditMode::None;
    if (s.keyFields.empty()) {
        return DbError::Make(err::kNoCurrentIndex, "Operation invalid without a current index.");
    }
    if (keys.empty() || keys.size() > s.keyFields.size()) {
        return DbError::Make(err::kInvalidArgument, "The key does not fit the index.");
    }
    std::vector<DbValue> values(keys.size());
    for (size_t i = 0; i < keys.size(); ++i) {
        if (DbError error = ConvertForField(s.fields[s.keyFields[i]], keys[i], values[i], false);
            !error.Ok()) {
            return error;
        }
    }
    PgParams params;
    std::string where;
    bool descending = op == SeekOp::Less || op == SeekOp::LessOrEqual;
    int limit = kWindowRows;
    if (op == SeekOp::Equal) {
        for (size_t i = 0; i < values.size(); ++i) {
            const FieldDef& field = s.fields[s.keyFields[i]];
            if (i) where += " AND ";
            where += PgName(field.name) + (values[i].IsNull()
                                               ? std::string(" IS NULL")
                                               : " = " + s.Param(field.type, values[i], params));
        }
        limit = 1;  // the rows after it are not all equal to the key
    } else {
        bool greater = op == SeekOp::Greater || op == SeekOp::GreaterOrEqual;
        bool orEqual = op == SeekOp::GreaterOrEqual || op == SeekOp::LessOrEqual;
        where = s.Compare(0, values, greater, orEqual ? "TRUE" : "FALSE", params);
    }
    if (DbError error = s.Fetch(where, params, descending, limit, false, true); !error.Ok())
        return error;
    if (op == SeekOp::Equal) s.window.clear();
    s.noMatch = !s.onRow;
    return {};
}

// ---------------------------------------------------------------------------------------------
// Fields and editing

int PgCursor::FieldIndex(std::string_view name) const {
    return state_->fieldLookup.Find(name);
}

DbError PgCursor::GetField(int index, DbValue& value) const {
    value = DbValue();
    if (!IsOpen()) return ClosedError();
    const PgCursorState& s = *state_;
    if (index < 0 || index >= static_cast<int>(s.fields.size())) {
        return DbError::Make(err::kItemNotFound, "Item not found in this collection.");
    }
    if (s.edit.mode != EditMode::None) {
        value = s.edit.Edited(index, s.row);
        return {};
    }
    if (s.deleted) return DbError::Make(err::kRecordIsDeleted);
    if (!s.onRow) return NoCurrentRecord();
    value = s.row[index];
    return {};
}

DbError PgCursor::AddNew() {
    if (!IsOpen()) return ClosedError();
    PgCursorState& s = *state_;
    s.edit.Begin(EditMode::AddNew, s.fields.size());
    return {};
}

DbError PgCursor::Edit() {
    if (!IsOpen()) return ClosedError();
    PgCursorState& s = *state_;
    if (s.deleted) return DbError::Make(err::kRecordIsDeleted);
    if (!s.onRow) return NoCurrentRecord();
    s.edit.Begin(EditMode::Edit, s.fields.size());
    return {};
}

DbError PgCursor::Set(int index, const DbValue& value) {
    if (!IsOpen()) return ClosedError();
    return state_->edit.Set(state_->fields, index, value);
}

DbError PgCursor::Update() {
    if (!IsOpen()) return ClosedError();
    PgCursorState& s = *state_;
    // Every Update of an added row has its place in the batch, stored or not, so that the
    // caller can tell which of its rows a refusal concerns.
    const size_t batchRow = s.edit.mode == EditMode::AddNew ? s.batchRows++ : 0;
    if (DbError error = s.edit.CheckRequired(s.requiredFields, s.row); !error.Ok())
        return error;
    PgParams params;
    if (s.edit.mode == EditMode::AddNew) {
        // Only the fields that were set: a column this program does not know (one a station
        // added, perhaps NOT NULL with a default) takes its own default rather than a Null.
        std::string columns, values;
        for (size_t i = 0; i < s.fields.size(); ++i) {
            if (!s.edit.dirty[i]) continue;
            if (!columns.empty()) {
                columns += ", ";
                values += ", ";
            }
            columns += PgName(s.fields[i].name);
            values += s.Param(s.fields[i].type, s.edit.values[i], params);
        }
        std::string sql = "INSERT INTO " + s.sqlTable +
                          (columns.empty() ? std::string(" DEFAULT VALUES")
                                           : " (" + columns + ") VALUES (" + values + ")");
        if (s.batch != 0 && s.conn->transactionDepth > 0) {
            // Held for the batch; whatever runs next on the connection sends it first.
            s.conn->held.push_back({std::move(sql), std::move(params), s.batch, batchRow});
            ++s.conn->epoch;
            s.edit.mode = EditMode::None;
            if (s.conn->held.size() >= kBatchRows) s.conn->SendHeldRows();
            return {};
        }
        // A refused row keeps the edit buffer for the caller to cancel or mend.
        if (DbError error = s.conn->RunGuarded(sql, params); !error.Ok()) return error;
        ++s.conn->epoch;
        s.edit.mode = EditMode::None;
        return {};
    }

    // Only the fields that were set are written, so that a change another workstation made
    // to the row's other fields meanwhile is kept.
    std::vector<int> changed;
    bool keyChanged = false;
    std::string assignments;
    for (size_t i = 0; i < s.fields.size(); ++i) {
        if (!s.edit.dirty[i]) continue;
        changed.push_back(static_cast<int>(i));
        if (std::find(s.requiredFields.begin(), s.requiredFields.end(), static_cast<int>(i)) !=
                s.requiredFields.end() ||
            std::find(s.keyFields.begin(), s.keyFields.end(), static_cast<int>(i)) !=
                s.keyFields.end()) {
            keyChanged = true;
        }
        if (!assignments.empty()) assignments += ", ";
        assignments += PgName(s.fields[i].name) + " = " +
                       s.Param(s.fields[i].type, s.edit.values[i], params);
    }
    if (changed.empty()) {
        s.edit.mode = EditMode::None;
        return {};
    }
    params.push_back(std::to_string(s.rowid));
    std::string sql = "UPDATE " + s.sqlTable + " SET " + assignments + " WHERE " +
                      std::string(kRowIdColumn) + " = $" + std::to_string(params.size()) +
                      "::bigint";
    PgResult result;
    if (DbError error = s.conn->RunGuarded(sql, params, &result); !error.Ok()) return error;
    // A changed key moves the row in its index: rows fetched ahead may pass it or meet it twice.
    if (keyChanged) ++s.conn->epoch;
    if (std::string_view(PQcmdTuples(result.get())) == "0") {
        s.edit.mode = EditMode::None;
        s.deleted = true;
        return DbError::Make(err::kRecordIsDeleted);
    }
    bool inWindow = s.WindowValid();
    for (int field : changed) s.row[field] = std::move(s.edit.values[field]);
    if (inWindow) s.window[s.windowPos].values = s.row;
    s.edit.mode = EditMode::None;
    return {};
}

void PgCursor::CancelUpdate() {
    state_->edit.mode = EditMode::None;
}

EditMode PgCursor::Mode() const {
    return state_->edit.mode;
}

DbError PgCursor::Delete() {
    if (!IsOpen()) return ClosedError();
    PgCursorState& s = *state_;
    s.edit.mode = EditMode::None;
    if (s.deleted) return DbError::Make(err::kRecordIsDeleted);
    if (!s.onRow) return NoCurrentRecord();
    if (DbError error = s.conn->RunGuarded("DELETE FROM " + s.sqlTable + " WHERE " +
                                               std::string(kRowIdColumn) + " = $1::bigint",
                                           {std::to_string(s.rowid)}); !error.Ok()) {
        return error;
    }
    ++s.conn->epoch;
    // The row's key stays known, so that MoveNext carries on from its place.
    s.deleted = true;
    return {};
}

DbError PgCursor::RecordCount(long long& count) const {
    count = 0;
    if (!IsOpen()) return ClosedError();
    PgResult result;
    if (DbError error = state_->conn->Run("SELECT count(*) FROM " + state_->sqlTable, {}, &result);
        !error.Ok()) {
        return error;
    }
    count = std::atoll(PQgetvalue(result.get(), 0, 0));
    return {};
}

void PgCursor::BeginBatch() {
    PgCursorState& s = *state_;
    if (!s.Usable()) return;
    s.batch = ++s.conn->lastBatch;
    s.batchRows = 0;
}

void PgCursor::EndBatch() {
    state_->batch = 0;
}

DbError PgCursor::FinishBatch(std::vector<BatchRefusal>& refused) {
    refused.clear();
    if (!IsOpen()) return ClosedError();
    PgCursorState& s = *state_;
    if (s.batch == 0) return {};
    s.conn->SendHeldRows();
    auto& all = s.conn->refusals;
    for (auto& refusal : all) {
        if (refusal.batch == s.batch) refused.push_back({refusal.row, std::move(refusal.error)});
    }
    std::erase_if(all, [&](const PgConnection::Refusal& r) { return r.batch == s.batch; });
    s.batch = 0;
    return refused.empty() ? DbError{} : refused.front().error;
}

// ---------------------------------------------------------------------------------------------
// Query results

bool PgQuery::IsOpen() const {
    return conn_ && conn_->IsOpen() && result_;
}

bool PgQuery::Eof() const {
    return !result_ || row_ >= PQntuples(result_.get());
}

DbError PgQuery::MoveNext() {
    if (!IsOpen()) return ClosedError();
    if (Eof()) return NoCurrentRecord();
    ++row_;
    return {};
}

int PgQuery::FieldCount() const {
    return static_cast<int>(names_.size());
}

std::string PgQuery::FieldName(int index) const {
    if (index < 0 || index >= FieldCount()) return "";
    return names_[index];
}

int PgQuery::FieldIndex(std::string_view name) const {
    auto it = nameIndex_.find(name);
    return it == nameIndex_.end() ? -1 : it->second;
}

DbValue PgQuery::Field(int index) const {
    if (Eof() || index < 0 || index >= FieldCount()) return DbValue();
    return PgValueAsStored(result_.get(), row_, columns_[index]);
}

}  // namespace vantor::engine_detail
