#pragma once
// What a backend of the engine implements. Database, TableCursor and QueryResult are the one
// face the rest of the program sees; each holds one of these and forwards to it, so that
// nothing above the engine knows whether an embedded file or a database server answers.
//
// A backend keeps every behaviour the face documents (cursor positions after each move, the
// edit buffer, declared types enforced on write, the classic error numbers): the callers
// cannot tell them apart, and the same tests run against each.

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "dbengine/engine.h"

namespace vantor::engine_detail {

class CursorBackend {
  public:
    virtual ~CursorBackend() = default;

    virtual bool IsOpen() const = 0;
    virtual const std::string& TableName() const = 0;
    virtual const std::vector<FieldDef>& Fields() const = 0;
    virtual DbError SetIndex(std::string_view indexName) = 0;
    virtual const std::string& IndexName() const = 0;
    virtual DbError Seek(SeekOp op, std::span<const DbValue> keys) = 0;
    virtual bool NoMatch() const = 0;
    virtual DbError MoveFirst() = 0;
    virtual DbError MoveLast() = 0;
    virtual DbError MoveNext() = 0;
    virtual DbError MovePrevious() = 0;
    virtual bool Eof() const = 0;
    virtual bool Bof() const = 0;
    virtual bool HasCurrent() const = 0;
    virtual int FieldIndex(std::string_view name) const = 0;
    virtual DbError GetField(int index, DbValue& value) const = 0;
    virtual DbError AddNew() = 0;
    virtual DbError Edit() = 0;
    virtual DbError Set(int index, const DbValue& value) = 0;
    virtual DbError Update() = 0;
    virtual void CancelUpdate() = 0;
    virtual EditMode Mode() const = 0;
    virtual DbError Delete() = 0;
    virtual DbError RecordCount(long long& count) const = 0;

    // Batches of added rows (see AddedRowsBatch). A backend whose every Update reaches its
    // database at once keeps no batch: each row's outcome is its Update's.
    virtual void BeginBatch() {}
    virtual void EndBatch() {}
    virtual DbError FinishBatch(std::vector<BatchRefusal>& refused) {
        refused.clear();
        return {};
    }
};

class QueryBackend {
  public:
    virtual ~QueryBackend() = default;

    virtual bool IsOpen() const = 0;
    virtual bool Eof() const = 0;
    virtual DbError MoveNext() = 0;
    virtual int FieldCount() const = 0;
    virtual std::string FieldName(int index) const = 0;
    virtual int FieldIndex(std::string_view name) const = 0;
    virtual DbValue Field(int index) const = 0;
};

class DatabaseBackend {
  public:
    virtual ~DatabaseBackend() = default;

    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    virtual const std::string& Path() const = 0;
    virtual std::string EngineVersion() const = 0;
    virtual DbError CopyTo(const std::string& targetPath) = 0;

    virtual std::vector<std::string> TableNames() const = 0;
    virtual DbError FindTable(std::string_view name, std::string* storedName) const = 0;
    virtual DbError CreateTable(std::string_view name, std::span<const FieldDef> fields) = 0;
    virtual DbError AddField(std::string_view table, const FieldDef& field) = 0;
    virtual DbError AddIndex(std::string_view table, const IndexDef& index) = 0;
    virtual DbError GetFields(std::string_view table, std::vector<FieldDef>& fields) const = 0;
    virtual DbError GetIndexes(std::string_view table, std::vector<IndexDef>& indexes) const = 0;

    // The cursor comes back open and positioned as Database::OpenTable documents.
    virtual DbError OpenTable(std::string_view table, std::unique_ptr<CursorBackend>& cursor,
                              std::string_view indexName) const = 0;
    virtual DbError Execute(std::string_view sql, std::span<const DbValue> params,
                            long long* rowsAffected) = 0;
    virtual DbError Query(std::string_view sql, std::span<const DbValue> params,
                          std::unique_ptr<QueryBackend>& result) const = 0;

    virtual DbError Notify(std::string_view channel) = 0;
    virtual DbError BeginTrans() = 0;
    virtual DbError CommitTrans() = 0;
    virtual DbError Rollback() = 0;
    virtual int TransactionDepth() const = 0;
};

}  // namespace vantor::engine_detail
