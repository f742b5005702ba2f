// The engine's face: Database, TableCursor and QueryResult hand each operation to the backend
// that holds the database, and keep here what is the same for every backend (lookups by name,
// the checks of a definition before it reaches the backend, the transaction guard).

#include "common/text.h"
#include "dbengine/backend.h"
#include "dbengine/engine_common.h"
#include "dbengine/server_module.h"
#include "dbengine/sqlite/engine_internal.h"

namespace vantor {

using engine_detail::ClosedError;

namespace {

DbError NoSuchField(std::string_view name) {
    return DbError::Make(err::kItemNotFound, "No field " + std::string(name));
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TableCursor

TableCursor::TableCursor() = default;
TableCursor::~TableCursor() = default;
TableCursor::TableCursor(TableCursor&&) noexcept = default;
TableCursor& TableCursor::operator=(TableCursor&&) noexcept = default;

bool TableCursor::IsOpen() const {
    return backend_ && backend_->IsOpen();
}
void TableCursor::Close() {
    backend_.reset();
}

const std::string& TableCursor::TableName() const {
    static const std::string kNone;
    return backend_ ? backend_->TableName() : kNone;
}
const std::vector<FieldDef>& TableCursor::Fields() const {
    static const std::vector<FieldDef> kNone;
    return backend_ ? backend_->Fields() : kNone;
}
const std::string& TableCursor::IndexName() const {
    static const std::string kNone;
    return backend_ ? backend_->IndexName() : kNone;
}

DbError TableCursor::SetIndex(std::string_view indexName) {
    return backend_ ? backend_->SetIndex(indexName) : ClosedError();
}

DbError TableCursor::Seek(SeekOp op, const DbValue& key) {
    return Seek(op, std::span<const DbValue>(&key, 1));
}
DbError TableCursor::Seek(SeekOp op, std::span<const DbValue> keys) {
    return backend_ ? backend_->Seek(op, keys) : ClosedError();
}
DbError TableCursor::Seek(std::string_view op, const DbValue& key) {
    auto parsed = SeekOpFromText(op);
    if (!parsed) {
        return DbError::Make(err::kInvalidArgument,
                             "Unknown comparison '" + std::string(op) + "'.");
    }
    return Seek(*parsed, key);
}
bool TableCursor::NoMatch() const {
    return backend_ && backend_->NoMatch();
}

DbError TableCursor::MoveFirst() {
    return backend_ ? backend_->MoveFirst() : ClosedError();
}
DbError TableCursor::MoveLast() {
    return backend_ ? backend_->MoveLast() : ClosedError();
}
DbError TableCursor::MoveNext() {
    return backend_ ? backend_->MoveNext() : ClosedError();
}
DbError TableCursor::MovePrevious() {
    return backend_ ? backend_->MovePrevious() : ClosedError();
}
bool TableCursor::Eof() const {
    return !backend_ || backend_->Eof();
}
bool TableCursor::Bof() const {
    return !backend_ || backend_->Bof();
}
bool TableCursor::HasCurrent() const {
    return backend_ && backend_->HasCurrent();
}

int TableCursor::FieldIndex(std::string_view name) const {
    return backend_ ? backend_->FieldIndex(name) : -1;
}
DbError TableCursor::GetField(int index, DbValue& value) const {
    if (!backend_) {
        value = DbValue();
        return ClosedError();
    }
    return backend_->GetField(index, value);
}
DbError TableCursor::GetField(std::string_view name, DbValue& value) const {
    int index = FieldIndex(name);
    if (index < 0) {
        value = DbValue();
        return IsOpen() ? NoSuchField(name) : ClosedError();
    }
    return GetField(index, value);
}
// The convenience reads: a missing field or row reads as Null; callers that must tell the
// difference call GetField.
DbValue TableCursor::Field(std::string_view name) const {
    DbValue value;
    static_cast<void>(GetField(name, value));
    return value;
}
DbValue TableCursor::Field(int index) const {
    DbValue value;
    static_cast<void>(GetField(index, value));
    return value;
}

DbError TableCursor::AddNew() {
    return backend_ ? backend_->AddNew() : ClosedError();
}
DbError TableCursor::Edit() {
    return backend_ ? backend_->Edit() : ClosedError();
}
DbError TableCursor::Set(int index, const DbValue& value) {
    return backend_ ? backend_->Set(index, value) : ClosedError();
}
DbError TableCursor::Set(std::string_view name, const DbValue& value) {
    int index = FieldIndex(name);
    if (index < 0) return IsOpen() ? NoSuchField(name) : ClosedError();
    return Set(index, value);
}
DbError TableCursor::Update() {
    return backend_ ? backend_->Update() : ClosedError();
}
void TableCursor::CancelUpdate() {
    if (backend_) backend_->CancelUpdate();
}
EditMode TableCursor::Mode() const {
    return backend_ ? backend_->Mode() : EditMode::None;
}
DbError TableCursor::Delete() {
    return backend_ ? backend_->Delete() : ClosedError();
}
DbError TableCursor::RecordCount(long long& count) const {
    count = 0;
    return backend_ ? backend_->RecordCount(count) : ClosedError();
}

// ---------------------------------------------------------------------------------------------
// QueryResult

QueryResult::QueryResult() = default;
QueryResult::~QueryResult() = default;
QueryResult::QueryResult(QueryResult&&) noexcept = default;
QueryResult& QueryResult::operator=(QueryResult&&) noexcept = default;

bool QueryResult::IsOpen() const {
    return backend_ && backend_->IsOpen();
}
void QueryResult::Close() {
    backend_.reset();
}
bool QueryResult::Eof() const {
    return !backend_ || backend_->Eof();
}
DbError QueryResult::MoveNext() {
    return backend_ ? backend_->MoveNext() : ClosedError();
}
int QueryResult::FieldCount() const {
    return backend_ ? backend_->FieldCount() : 0;
}
std::string QueryResult::FieldName(int index) const {
    return backend_ ? backend_->FieldName(index) : "";
}
int QueryResult::FieldIndex(std::string_view name) const {
    return backend_ ? backend_->FieldIndex(name) : -1;
}
DbError QueryResult::GetField(std::string_view name, DbValue& value) const {
    value = DbValue();
    int index = FieldIndex(name);
    if (index < 0) return NoSuchField(name);
    if (Eof()) return DbError::Make(err::kNoCurrentRecord, "No current record.");
    value = backend_->Field(index);
    return {};
}
DbValue QueryResult::Field(std::string_view name) const {
    DbValue value;
    static_cast<void>(GetField(name, value));  // as for the cursor: Null when missing
    return value;
}
DbValue QueryResult::Field(int index) const {
    if (!backend_ || backend_->Eof() || index < 0 || index >= FieldCount()) return DbValue();
    return backend_->Field(index);
}

// ---------------------------------------------------------------------------------------------
// Database

Database::Database() = default;
Database::~Database() {
    Close();
}
Database::Database(Database&&) noexcept = default;
Database& Database::operator=(Database&& other) noexcept {
    if (this != &other) {
        Close();
        backend_ = std::move(other.backend_);
    }
    return *this;
}

DbError Database::Create(const std::string& path, std::string_view localeText,
                         FileAccess access) {
    Close();
    auto backend = std::make_unique<engine_detail::SqliteDatabase>();
    if (DbError error = backend->Create(path, localeText, access); !error.Ok()) return error;
    backend_ = std::move(backend);
    return {};
}

DbError Database::Open(const std::string& path) {
    return OpenFile(path, false);
}

DbError Database::OpenReadOnly(const std::string& path) {
    return OpenFile(path, true);
}

DbError Database::OpenFile(const std::string& path, bool readOnly) {
    Close();
    auto backend = std::make_unique<engine_detail::SqliteDatabase>();
    if (DbError error = backend->OpenFile(path, readOnly); !error.Ok()) return error;
    backend_ = std::move(backend);
    return {};
}

DbError Database::CreateOnServer(const std::string& conninfo, const std::string& fileName) {
    return ConnectToServer(conninfo, fileName, true);
}

DbError Database::OpenOnServer(const std::string& conninfo, const std::string& fileName) {
    return ConnectToServer(conninfo, fileName, false);
}

DbError Database::ConnectToServer(const std::string& conninfo, const std::string& fileName,
                                  bool create) {
    Close();
    const engine_detail::ServerModule* module = nullptr;
    if (DbError error = engine_detail::LoadServerModule(module); !error.Ok()) return error;
    return module->openDatabase(conninfo, fileName, create, backend_);
}

void Database::Close() {
    if (backend_) backend_->Close();
    backend_.reset();
}

bool Database::IsOpen() const {
    return backend_ && backend_->IsOpen();
}

const std::string& Database::Path() const {
    static const std::string kNone;
    return backend_ ? backend_->Path() : kNone;
}

std::string Database::EngineVersion() const {
    return IsOpen() ? backend_->EngineVersion() : "";
}

DbError Database::CopyTo(const std::string& targetPath) {
    return IsOpen() ? backend_->CopyTo(targetPath) : ClosedError();
}

std::vector<std::string> Database::TableNames() const {
    return IsOpen() ? backend_->TableNames() : std::vector<std::string>();
}

DbError Database::FindTable(std::string_view name, std::string* storedName) const {
    return IsOpen() ? backend_->FindTable(name, storedName) : ClosedError();
}

DbError Database::CreateTable(std::string_view name, std::span<const FieldDef> fields) {
    if (!IsOpen()) return ClosedError();
    if (Trim(name).empty() || fields.empty()) {
        return DbError::Make(err::kInvalidArgument, "A table needs a name and a field.");
    }
    if (FindTable(name).Ok()) {
        return DbError::Make(err::kTableExists,
                             "Table '" + std::string(name) + "' already exists.");
    }
    return backend_->CreateTable(name, fields);
}

DbError Database::AddField(std::string_view table, const FieldDef& field) {
    if (!IsOpen()) return ClosedError();
    std::string stored;
    if (DbError error = FindTable(table, &stored); !error.Ok()) return error;
    if (Trim(field.name).empty()) {
        return DbError::Make(err::kInvalidArgument, "A field needs a name.");
    }
    if (FindField(stored, field.name).Ok()) {
        return DbError::Make(err::kFieldExists, "Cannot define field more than once.");
    }
    return backend_->AddField(stored, field);
}

DbError Database::AddIndex(std::string_view table, const IndexDef& index) {
    if (!IsOpen()) return ClosedError();
    std::string stored;
    if (DbError error = FindTable(table, &stored); !error.Ok()) return error;
    if (Trim(index.name).empty() || index.fields.empty()) {
        return DbError::Make(err::kInvalidArgument, "An index needs a name and a field.");
    }
    if (FindIndex(stored, index.name).Ok()) {
        return DbError::Make(err::kIndexExists, "Index already exists.");
    }
    return backend_->AddIndex(stored, index);
}

DbError Database::GetFields(std::string_view table, std::vector<FieldDef>& fields) const {
    fields.clear();
    return IsOpen() ? backend_->GetFields(table, fields) : ClosedError();
}

DbError Database::GetIndexes(std::string_view table, std::vector<IndexDef>& indexes) const {
    indexes.clear();
    return IsOpen() ? backend_->GetIndexes(table, indexes) : ClosedError();
}

DbError Database::FindField(std::string_view table, std::string_view field, FieldDef* def) const {
    std::vector<FieldDef> fields;
    if (DbError error = GetFields(table, fields); !error.Ok()) return error;
    for (const FieldDef& candidate : fields) {
        if (EqualsNoCase(candidate.name, field)) {
            if (def) *def = candidate;
            return {};
        }
    }
    return NoSuchField(field);
}

DbError Database::FindIndex(std::string_view table, std::string_view index, IndexDef* def) const {
    std::vector<IndexDef> indexes;
    if (DbError error = GetIndexes(table, indexes); !error.Ok()) return error;
    for (const IndexDef& candidate : indexes) {
        if (EqualsNoCase(candidate.name, index)) {
            if (def) *def = candidate;
            return {};
        }
    }
    return DbError::Make(err::kItemNotFound, "No index " + std::string(index));
}

DbError Database::OpenTable(std::string_view table, TableCursor& cursor,
                            std::string_view indexName) const {
    cursor.Close();
    if (!IsOpen()) return ClosedError();
    return backend_->OpenTable(table, cursor.backend_, indexName);
}

DbError Database::Execute(std::string_view sql, std::span<const DbValue> params,
                          long long* rowsAffected) {
    if (rowsAffected) *rowsAffected = 0;
    return IsOpen() ? backend_->Execute(sql, params, rowsAffected) : ClosedError();
}
DbError Database::Execute(std::string_view sql, std::initializer_list<DbValue> params,
                          long long* rowsAffected) {
    return Execute(sql, std::span<const DbValue>(params.begin(), params.size()), rowsAffected);
}

DbError Database::Query(std::string_view sql, std::span<const DbValue> params,
                        QueryResult& result) const {
    result.Close();
    if (!IsOpen()) return ClosedError();
    return backend_->Query(sql, params, result.backend_);
}
DbError Database::Query(std::string_view sql, std::initializer_list<DbValue> params,
                        QueryResult& result) const {
    return Query(sql, std::span<const DbValue>(params.begin(), params.size()), result);
}

DbError Database::Notify(std::string_view channel) {
    return IsOpen() ? backend_->Notify(channel) : ClosedError();
}

DbError Database::BeginTrans() {
    return IsOpen() ? backend_->BeginTrans() : ClosedError();
}
DbError Database::CommitTrans() {
    return IsOpen() ? backend_->CommitTrans() : ClosedError();
}
DbError Database::Rollback() {
    return IsOpen() ? backend_->Rollback() : ClosedError();
}
int Database::TransactionDepth() const {
    return IsOpen() ? backend_->TransactionDepth() : 0;
}

// ---------------------------------------------------------------------------------------------
// AddedRowsBatch

AddedRowsBatch::AddedRowsBatch(TableCursor& cursor) : cursor_(cursor) {
    if (cursor_.backend_) {
        cursor_.backend_->BeginBatch();
        open_ = true;
    }
}

AddedRowsBatch::~AddedRowsBatch() {
    if (open_ && cursor_.backend_) cursor_.backend_->EndBatch();
}

DbError AddedRowsBatch::Finish(std::vector<BatchRefusal>& refused) {
    refused.clear();
    if (!open_ || !cursor_.backend_) return ClosedError();
    open_ = false;
    DbError error = cursor_.backend_->FinishBatch(refused);
    cursor_.backend_->EndBatch();
    return error;
}

// ---------------------------------------------------------------------------------------------
// Transaction

Transaction::Transaction(Database& db) : db_(db) {
    beginError_ = db_.BeginTrans();
    active_ = beginError_.Ok();
}

Transaction::~Transaction() {
    // A destructor has no one to tell: a failed rollback leaves the transaction to the
    // backend, which drops it when the connection closes.
    if (active_) static_cast<void>(db_.Rollback());
}

DbError Transaction::Commit() {
    if (!active_) return DbError::Make(err::kAlreadyInTransaction, "No transaction is open.");
    DbError error = db_.CommitTrans();
    if (error.Ok()) active_ = false;
    return error;
}

DbError Transaction::Rollback() {
    if (!active_) return DbError::Make(err::kAlreadyInTransaction, "No transaction is open.");
    active_ = false;
    return db_.Rollback();
}

}  // namespace vantor
