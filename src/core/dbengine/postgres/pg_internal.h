#pragma once
// Inside of the PostgreSQL backend: a station's databases on one server. Only the backend's
// own .cpp files and the engine's face include this.
//
// One server database holds the installation; each database "file" is a schema in it, named
// after the file's base name in lower case (KORA26.MDB is the schema kora26), and the
// catalogue table public.vantor_catalogue keeps the file name as shown. Tables, fields and
// indexes are created under lower-case names, so that statements naming them in any case find
// them; the names as the program gave them, and the declared types, are kept as comments on
// the objects. Every table has a hidden identity column, the row's place in the order rows
// were added. Text columns use a case-insensitive collation, so keys, unique indexes and
// comparisons in statements ignore letter case as the embedded engine does.

#include <libpq-fe.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "dbengine/backend.h"
#include "dbengine/database_store.h"
#include "dbengine/engine_common.h"

namespace vantor::engine_detail {

struct PgResultFree {
    void operator()(PGresult* result) const { PQclear(result); }
};
using PgResult = std::unique_ptr<PGresult, PgResultFree>;

// Statement parameters in libpq's text form; nullopt is Null.
using PgParams = std::vector<std::optional<std::string>>;

// The hidden column that numbers rows in the order they were added.
inline constexpr std::string_view kRowIdColumn = "vantor_rowid";
// The catalogue of the installation's databases, in the server database's public schema.
inline constexpr std::string_view kCatalogueTable = "public.vantor_catalogue";

// The first key of every advisory lock of this program; the second is the hash of the
// database's schema name. Shared while a database is open, exclusive while it is deleted,
// renamed or compacted.
inline constexpr long long kLockClass = 0x564E5452;  // "VNTR"

struct PgConnection {
    PGconn* conn = nullptr;
    std::string name;    // the database's file name as the installation knows it
    std::string schema;  // the schema that holds it
    std::string host;    // where the server is, for messages
    int transactionDepth = 0;
    // Moves on whenever rows may have been added, removed or re-keyed through this
    // connection: rows a cursor fetched ahead before it moved are not used.
    uint64_t epoch = 0;

    // Rows added in batches (AddedRowsBatch) and not sent yet, in the order they were added.
    struct HeldRow {
        std::string sql;  // the INSERT, one text per set of columns
        PgParams params;
        uint64_t batch = 0;
        size_t row = 0;  // its place in its batch
    };
    std::vector<HeldRow> held;
    // Rows of batches the server refused, until their batch takes them.
    struct Refusal {
        uint64_t batch = 0;
        size_t row = 0;
        DbError error;
    };
    std::vector<Refusal> refusals;
    uint64_t lastBatch = 0;
    // Notifications of the open transaction, with the level they were made at: sent with
    // the COMMIT (one round trip for both), dropped with the level that made them.
    struct HeldNotify {
        std::string channel;
        int depth = 0;
    };
    std::vector<HeldNotify> notifies;
    // Statements prepared on this session: INSERT text to statement name.
    std::unordered_map<std::string, std::string> prepared;

    PgConnection() = default;
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;
    ~PgConnection() { Close(); }

    bool IsOpen() const { return conn != nullptr; }
    void Close();
    // Runs one statement with parameters ($1, $2, ...).
    DbError Run(const std::string& sql, const PgParams& params = {}, PgResult* result = nullptr);
    // Runs statements without parameters, all or none.
    DbError RunScript(const std::string& sql);
    // Runs one statement so that its failure undoes that statement alone: inside a
    // transaction the server would otherwise refuse everything up to the rollback, where the
    // embedded engine goes on with the next statement.
    DbError RunGuarded(const std::string& sql, const PgParams& params, PgResult* result = nullptr);
    // The failure of a result (or of the connection) as one of the classic error numbers.
    DbError ErrorOf(const PGresult* result) const;
    // Sends the held rows in one pipeline. What the server refuses joins refusals; every
    // other row is stored. Run, RunScript and RunGuarded send them first, so that whatever
    // runs next on this connection sees them.
    void SendHeldRows();
};

// Connects to the installation's server database and makes its catalogue when missing.
// 3051 with the host and libpq's reason when the server cannot be reached.
DbError PgConnectInstallation(const std::string& conninfo, PgConnection& conn);

// Lower-case, quoted name of a table, field or index.
std::string PgName(std::string_view name);
// The server's type for a field, and the cast a parameter for it carries.
std::string PgType(const FieldDef& field);
std::string PgCast(FieldType type);
// A value in libpq's text form, and back.
std::optional<std::string> PgText(const DbValue& value);
DbValue PgValue(const PGresult* result, int row, int column, FieldType type);
// A result column read by the server's type (no declared type known).
DbValue PgValueAsStored(const PGresult* result, int row, int column);
// The schema that holds a database file: its base name in lower case.
std::string SchemaOf(std::string_view fileName);
// SQLSTATE and message to the classic numbers.
DbError MapPgError(std::string_view sqlState, std::string_view message);
// A statement as the stations write it ([names], ? parameters) in the server's form;
// parameterCount is the number of parameters it takes.
std::string TranslateSql(std::string_view sql, int& parameterCount);

DbError PgLookupTable(PgConnection& conn, std::string_view name, std::string* storedName);
DbError PgReadFields(PgConnection& conn, const std::string& table, std::vector<FieldDef>& fields);
DbError PgReadIndexes(PgConnection& conn, const std::string& table,
                      std::vector<IndexDef>& indexes);

// The store of the databases on the server of conninfo, and libpq's reading of a connection
// string's password.
std::unique_ptr<DatabaseStore> PgMakeServerStore(const std::string& conninfo);
bool PgConninfoHasPassword(const std::string& conninfo);
std::string PgConninfoWithoutPassword(const std::string& conninfo);

class PgDatabase final : public DatabaseBackend {
  public:
    ~PgDatabase() override { Close(); }

    // Connects to the server of conninfo and opens (or first creates) the database kept
    // there under this file name.
    DbError Open(const std::string& conninfo, const std::string& fileName);
    DbError Create(const std::string& conninfo, const std::string& fileName);

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
    DbError Connect(const std::string& conninfo, const std::string& fileName);
    DbError EnterSchema();

    std::shared_ptr<PgConnection> conn_;
};

struct PgCursorState;
class PgCursor final : public CursorBackend {
  public:
    PgCursor();
    ~PgCursor() override;

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
    void BeginBatch() override;
    void EndBatch() override;
    DbError FinishBatch(std::vector<BatchRefusal>& refused) override;

  private:
    friend class PgDatabase;
    std::unique_ptr<PgCursorState> state_;
};

class PgQuery final : public QueryBackend {
  public:
    bool IsOpen() const override;
    bool Eof() const override;
    DbError MoveNext() override;
    int FieldCount() const override;
    std::string FieldName(int index) const override;
    int FieldIndex(std::string_view name) const override;
    DbValue Field(int index) const override;

  private:
    friend class PgDatabase;
    std::shared_ptr<PgConnection> conn_;
    PgResult result_;
    int row_ = 0;
    std::vector<int> columns_;  // the result's columns the caller sees (not the hidden one)
    std::vector<std::string> names_;
    NoCaseIndexMap nameIndex_;
};

}  // namespace vantor::engine_detail
