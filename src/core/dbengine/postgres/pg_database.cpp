// The PostgreSQL backend's database handle: connecting, the schema of a database file and its
// in-use lock, definitions, statements and transactions.

#include <algorithm>
#include <cmath>
#include <numeric>
#include <cstdio>
#include <cstdlib>

#include "common/text.h"
#include "dbengine/postgres/pg_internal.h"

namespace vantor::engine_detail {

namespace {

// A lock on a waiting server fails after this long instead of hanging a workstation, as the
// embedded engine's busy timeout does.
constexpr const char* kLockTimeout = "10s";

std::string HostOf(PGconn* conn) {
    const char* host = conn ? PQhost(conn) : nullptr;
    std::string text = host && *host ? host : "localhost";
    const char* port = conn ? PQport(conn) : nullptr;
    if (port && *port) text += ":" + std::string(port);
    return text;
}

std::string TrimMessage(const char* message) {
    return Trim(message ? message : "");
}

// A failure of the server itself: the standard text of the number would speak of a file, so
// the description names the server and gives the server's (or libpq's) own reason.
DbError ServerFailure(int number, std::string description) {
    DbError error;
    error.number = number;
    error.description = std::move(description);
    return error;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Names, types and values

std::string PgName(std::string_view name) {
    return QuoteName(ToLower(name));
}

std::string PgType(const FieldDef& field) {
    switch (field.type) {
        case FieldType::Boolean:
            return "boolean";
        case FieldType::Short:
            return "smallint";
        case FieldType::Long:
            return "integer";
        case FieldType::Single:
            return "real";
        case FieldType::Double:
        case FieldType::DateTime:
            return "double precision";
        case FieldType::Text:
            return "varchar(" + std::to_string(field.TextWidth()) + ") COLLATE vantor_nocase";
        case FieldType::Memo:
            return "text COLLATE vantor_nocase";
    }
    return "text";
}

std::string PgCast(FieldType type) {
    switch (type) {
        case FieldType::Boolean:
            return "::boolean";
        case FieldType::Short:
            return "::smallint";
        case FieldType::Long:
            return "::integer";
        case FieldType::Single:
            return "::real";
        case FieldType::Double:
        case FieldType::DateTime:
            return "::double precision";
        case FieldType::Text:
        case FieldType::Memo:
            return "::text";
    }
    return "";
}

std::optional<std::string> PgText(const DbValue& value) {
    switch (value.kind()) {
        case DbValue::Kind::Null:
            return std::nullopt;
        case DbValue::Kind::Boolean:
            return value.AsBool() ? "true" : "false";
        case DbValue::Kind::Integer:
            return std::to_string(value.AsInteger());
        case DbValue::Kind::Double: {
            double number = value.AsDouble();
            if (std::isnan(number)) return "NaN";
            if (std::isinf(number)) return number > 0 ? "Infinity" : "-Infinity";
            char text[40];
            std::snprintf(text, sizeof text, "%.17g", number);
            return text;
        }
        case DbValue::Kind::Text:
            return value.Text();
    }
    return std::nullopt;
}

DbValue PgValue(const PGresult* result, int row, int column, FieldType type) {
    if (PQgetisnull(result, row, column)) return DbValue();
    const char* text = PQgetvalue(result, row, column);
    switch (type) {
        case FieldType::Boolean:
            return DbValue(text[0] == 't');
        case FieldType::Short:
        case FieldType::Long:
            return DbValue(std::strtoll(text, nullptr, 10));
        case FieldType::Single:
            // The server writes the shortest text that reads back as the same single.
            return DbValue(std::strtof(text, nullptr));
        case FieldType::Double:
        case FieldType::DateTime:
            return DbValue(std::strtod(text, nullptr));
        case FieldType::Text:
        case FieldType::Memo:
            return DbValue(std::string_view(text, PQgetlength(result, row, column)));
    }
    return DbValue();
}

DbValue PgValueAsStored(const PGresult* result, int row, int column) {
    // Type numbers of the server's built-in types, fixed in its catalogue.
    switch (PQftype(result, column)) {
        case 16:
            return PgValue(result, row, column, FieldType::Boolean);
        case 20:
        case 21:
        case 23:
            return PgValue(result, row, column, FieldType::Long);
        case 700:
            return PgValue(result, row, column, FieldType::Single);
        case 701:
        case 1700:
            return PgValue(result, row, column, FieldType::Double);
        default:
            return PgValue(result, row, column, FieldType::Memo);
    }
}

std::string SchemaOf(std::string_view fileName) {
    std::string base(fileName);
    size_t slash = base.find_last_of("/\\");
    if (slash != std::string::npos) base = base.substr(slash + 1);
    size_t dot = base.rfind('.');
    if (dot != std::string::npos && dot > 0) base = base.substr(0, dot);
    return ToLower(base);
}

DbError MapPgError(std::string_view state, std::string_view message) {
    std::string detail(message);
    auto is = [&](std::string_view code) { return state == code; };
    if (is("23505")) return DbError::Make(err::kDuplicateKey, detail);
    if (is("23502")) return DbError::Make(err::kNullInPrimaryKey, detail);
    if (is("22001")) return DbError::Make(err::kFieldTooSmall, detail);
    if (is("22003")) return DbError::Make(err::kOverflow, "Overflow");
    if (is("22P02")) return DbError::Make(err::kTypeMismatch, detail);
    if (is("42P01")) return DbError::Make(err::kInputTableNotFound, detail);
    if (is("42703")) return DbError::Make(err::kTooFewParameters, detail);
    if (is("3F000")) return DbError::Make(err::kCouldNotFindFile, detail);
    if (is("42P06")) return DbError::Make(err::kDatabaseExists, detail);
    if (is("55P03") || is("40P01") || is("40001") || is("57014")) {
        return DbError::Make(err::kLockedByOtherSession, detail);
    }
    if (is("25006")) return DbError::Make(err::kReadOnly, detail);
    if (is("42501") || state.starts_with("28")) return DbError::Make(err::kCannotOpenFile, detail);
    if (is("53100")) return DbError::Make(err::kNotEnoughSpaceOnDisk, detail);
    if (is("53200")) return DbError::Make(err::kOutOfMemory, detail);
    if (state.starts_with("08") || state.starts_with("57P")) {
        return DbError::Make(err::kDiskOrNetworkError, detail);
    }
    if (state.starts_with("42")) return DbError::Make(err::kInvalidArgument, detail);
    return DbError::Make(err::kReserved, detail);
}

std::string TranslateSql(std::string_view sql, int& parameterCount) {
    std::string text = NormalizeSql(sql);
    std::string out;
    out.reserve(text.size() + 16);
    parameterCount = 0;
    int highest = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\'') {  // a literal goes as it is, doubled quotes and all
            size_t end = i + 1;
            while (end < text.size()) {
                if (text[end] == '\'' && (end + 1 >= text.size() || text[end + 1] != '\'')) break;
                end += text[end] == '\'' ? 2 : 1;
            }
            out.append(text, i, end - i + 1);
            i = end;
        } else if (c == '[' || c == '"') {
            char close = c == '[' ? ']' : '"';
            size_t end = text.find(close, i + 1);
            if (end == std::string::npos) end = text.size();
            out += PgName(std::string_view(text).substr(i + 1, end - i - 1));
            i = end;
        } else if (c == '?') {
            size_t digits = i + 1;
            while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
            int number = digits > i + 1 ? std::atoi(text.c_str() + i + 1) : highest + 1;
            highest = std::max(highest, number);
            out += "$" + std::to_string(number);
            i = digits - 1;
        } else {
            out += c;
        }
    }
    parameterCount = highest;
    return out;
}

// ---------------------------------------------------------------------------------------------
// Connection

void PgConnection::Close() {
    if (conn) PQfinish(conn);  // the server drops the advisory locks with the session
    conn = nullptr;
    transactionDepth = 0;
    held.clear();
    refusals.clear();
    notifies.clear();
    prepared.clear();
}

DbError PgConnection::ErrorOf(const PGresult* result) const {
    if (!conn || PQstatus(conn) == CONNECTION_BAD) {
        return ServerFailure(err::kDiskOrNetworkError,
                             "The connection to the database server " + host +
                                 " was lost: " + TrimMessage(conn ? PQerrorMessage(conn) : ""));
    }
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    std::string message = TrimMessage(result ? PQresultErrorMessage(result) : nullptr);
    if (message.empty()) message = TrimMessage(PQerrorMessage(conn));
    return MapPgError(state ? state : "", message);
}

DbError PgConnection::Run(const std::string& sql, const PgParams& params, PgResult* result) {
    if (!conn) return ClosedError();
    SendHeldRows();
    std::vector<const char*> values;
    values.reserve(params.size());
    for (const auto& param : params) values.push_back(param ? param->c_str() : nullptr);
    PgResult res(PQexecParams(conn, sql.c_str(), static_cast<int>(params.size()), nullptr,
                              values.data(), nullptr, nullptr, 0));
    ExecStatusType status = res ? PQresultStatus(res.get()) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) return ErrorOf(res.get());
    if (result) *result = std::move(res);
    return {};
}

DbError PgConnection::RunScript(const std::string& sql) {
    if (!conn) return ClosedError();
    SendHeldRows();
    // Several statements in one call are one transaction of their own; inside an open
    // transaction a savepoint keeps them together instead.
    bool nested = transactionDepth > 0;
    std::string text = nested ? "SAVEPOINT vantor_script; " + sql + "; RELEASE vantor_script"
                              : sql;
    PgResult res(PQexec(conn, text.c_str()));
    ExecStatusType status = res ? PQresultStatus(res.get()) : PGRES_FATAL_ERROR;
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) return {};
    DbError error = ErrorOf(res.get());
    if (nested && PQstatus(conn) == CONNECTION_OK) {
        PgResult undo(PQexec(conn, "ROLLBACK TO vantor_script; RELEASE vantor_script"));
    }
    return error;
}

DbError PgConnection::RunGuarded(const std::string& sql, const PgParams& params,
                                 PgResult* result) {
    if (transactionDepth == 0) return Run(sql, params, result);
    if (!conn) return ClosedError();
    SendHeldRows();
    // The savepoint, the statement and the release go to the server in one pipeline: one
    // round trip per statement, as without the guard.
    std::vector<const char*> values;
    values.reserve(params.size());
    for (const auto& param : params) values.push_back(param ? param->c_str() : nullptr);
    if (PQenterPipelineMode(conn) != 1) return ErrorOf(nullptr);
    bool sent =
        PQsendQueryParams(conn, "SAVEPOINT vantor_statement", 0, nullptr, nullptr, nullptr,
                          nullptr, 0) == 1 &&
        PQsendQueryParams(conn, sql.c_str(), static_cast<int>(params.size()), nullptr,
                          values.data(), nullptr, nullptr, 0) == 1 &&
        PQsendQueryParams(conn, "RELEASE vantor_statement", 0, nullptr, nullptr, nullptr,
                          nullptr, 0) == 1 &&
        PQpipelineSync(conn) == 1;
    DbError error;
    bool failed = !sent;
    if (sent) {
        // Results come query by query, each followed by an empty one, then the sync's.
        int query = 0;
        for (;;) {
            PgResult res(PQgetResult(conn));
            if (!res) {
                if (PQstatus(conn) != CONNECTION_OK) {
                    failed = true;
                    break;
                }
                ++query;
                continue;
            }
            ExecStatusType status = PQresultStatus(res.get());
            if (status == PGRES_PIPELINE_SYNC) break;
            if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) {
                if (query == 1 && result) *result = std::move(res);
            } else if (!failed) {
                failed = true;
                error = ErrorOf(res.get());
            }
        }
    }
    if (!sent || PQstatus(conn) != CONNECTION_OK) return ErrorOf(nullptr);
    PQexitPipelineMode(conn);
    if (!failed) return {};
    // The failed statement is undone alone; the transaction goes on.
    PgResult undo(PQexec(conn, "ROLLBACK TO vantor_statement; RELEASE vantor_statement"));
    if (!undo || PQresultStatus(undo.get()) != PGRES_COMMAND_OK) return ErrorOf(undo.get());
    return error;
}

// Held rows go inside a savepoint of their own, all in one pipeline: SAVEPOINT, one prepared
// INSERT per row, RELEASE, sync. A refused row aborts everything after it up to the sync, and
// the transaction with it; the savepoint takes the transaction back to where it was before the
// batch, the refused row is set aside and the others are sent again. So a row's outcome is
// what its own INSERT would have had, and a batch without refusals costs one round trip. (One
// savepoint per batch rather than per row: a savepoint that writes is a subtransaction, and
// hundreds of them in one transaction slow every reader's visibility checks on the server.)
void PgConnection::SendHeldRows() {
    if (held.empty() || !conn) return;
    std::vector<HeldRow> rows;
    rows.swap(held);
    std::vector<size_t> pending(rows.size());
    std::iota(pending.begin(), pending.end(), size_t{0});
    auto refuse = [&](size_t index, DbError error) {
        refusals.push_back({rows[index].batch, rows[index].row, std::move(error)});
    };
    while (!pending.empty()) {
        enum class Kind { Savepoint, Prepare, Insert, Release };
        struct Sent {
            Kind kind;
            size_t k;  // the row's place in pending
        };
        std::vector<Sent> sent;
        std::unordered_map<std::string, std::string> preparing;
        bool ok = PQenterPipelineMode(conn) == 1;
        auto send = [&](const char* sql) {
            ok = ok && PQsendQueryParams(conn, sql, 0, nullptr, nullptr, nullptr, nullptr, 0) == 1;
        };
        send("SAVEPOINT vantor_batch");
        sent.push_back({Kind::Savepoint, 0});
        std::vector<const char*> values;
        for (size_t k = 0; k < pending.size() && ok; ++k) {
            const HeldRow& row = rows[pending[k]];
            std::string name;
            if (auto known = prepared.find(row.sql); known != prepared.end()) {
                name = known->second;
            } else if (auto fresh = preparing.find(row.sql); fresh != preparing.end()) {
                name = fresh->second;
            } else {
                name = "vantor_insert_" + std::to_string(prepared.size() + preparing.size());
                ok = PQsendPrepare(conn, name.c_str(), row.sql.c_str(), 0, nullptr) == 1;
                preparing.emplace(row.sql, name);
                sent.push_back({Kind::Prepare, k});
            }
            values.clear();
            for (const auto& param : row.params) values.push_back(param ? param->c_str() : nullptr);
            ok = ok && PQsendQueryPrepared(conn, name.c_str(), static_cast<int>(values.size()),
                                           values.data(), nullptr, nullptr, 0) == 1;
            sent.push_back({Kind::Insert, k});
        }
        send("RELEASE vantor_batch");
        sent.push_back({Kind::Release, 0});
        ok = ok && PQpipelineSync(conn) == 1;

        // Results come statement by statement, each followed by an empty one, then the sync's.
        DbError failure;
        std::optional<Sent> failed;
        size_t query = 0;
        while (ok) {
            PgResult res(PQgetResult(conn));
            if (!res) {
                if (PQstatus(conn) != CONNECTION_OK || ++query > sent.size()) ok = false;
                continue;
            }
            ExecStatusType status = PQresultStatus(res.get());
            if (status == PGRES_PIPELINE_SYNC) break;
            if (query >= sent.size()) continue;
            const Sent& what = sent[query];
            if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) {
                if (what.kind == Kind::Prepare) {
                    const std::string& sql = rows[pending[what.k]].sql;
                    prepared.emplace(sql, preparing[sql]);
                }
            } else if (status != PGRES_PIPELINE_ABORTED && !failed) {
                failure = ErrorOf(res.get());
                failed = what;
            }
        }
        if (!ok || PQexitPipelineMode(conn) != 1) {
            // The connection is gone, and with it the transaction: no row of the batch is
            // stored, and the first one not known to be refused says why.
            refuse(pending.front(), ErrorOf(nullptr));
            return;
        }
        if (!failed) return;
        PgResult undo(PQexec(conn, "ROLLBACK TO vantor_batch; RELEASE vantor_batch"));
        if (!undo || PQresultStatus(undo.get()) != PGRES_COMMAND_OK) {
            refuse(pending.front(), ErrorOf(undo.get()));
            return;
        }
        if (failed->kind != Kind::Prepare && failed->kind != Kind::Insert) {
            // The savepoint itself failed: nothing of the batch can be stored.
            refuse(pending.front(), failure);
            return;
        }
        refuse(pending[failed->k], failure);
        pending.erase(pending.begin() + static_cast<std::ptrdiff_t>(failed->k));
    }
}

// ---------------------------------------------------------------------------------------------
// Definitions, read from the server's catalogue and the comments this backend leaves there

DbError PgLookupTable(PgConnection& conn, std::string_view name, std::string* storedName) {
    PgResult result;
    if (DbError error = conn.Run(
            "SELECT coalesce(obj_description(c.oid, 'pg_class'), c.relname) FROM pg_class c "
            "JOIN pg_namespace n ON n.oid = c.relnamespace "
            "WHERE n.nspname = $1 AND c.relkind = 'r' AND c.relname = $2",
            {conn.schema, ToLower(name)}, &result); !error.Ok()) {
        return error;
    }
    if (PQntuples(result.get()) == 0) {
        return DbError::Make(err::kItemNotFound, "No table " + std::string(name));
    }
    if (storedName) *storedName = PQgetvalue(result.get(), 0, 0);
    return {};
}

DbError PgReadFields(PgConnection& conn, const std::string& table, std::vector<FieldDef>& fields) {
    fields.clear();
    PgResult result;
    if (DbError error = conn.Run(
            "SELECT a.attname, coalesce(col_description(a.attrelid, a.attnum), ''), "
            "format_type(a.atttypid, a.atttypmod) "
            "FROM pg_attribute a JOIN pg_class c ON c.oid = a.attrelid "
            "JOIN pg_namespace n ON n.oid = c.relnamespace "
            "WHERE n.nspname = $1 AND c.relname = $2 AND a.attnum > 0 AND NOT a.attisdropped "
            "AND a.attname <> $3 ORDER BY a.attnum",
            {conn.schema, ToLower(table), std::string(kRowIdColumn)}, &result); !error.Ok()) {
        return error;
    }
    for (int row = 0; row < PQntuples(result.get()); ++row) {
        // The comment is "Name<TAB>DECLARED TYPE".
        std::string comment = PQgetvalue(result.get(), row, 1);
        size_t tab = comment.find('\t');
        if (tab == std::string::npos) {
            // A column a station added with its own SQL has no comment: its type is the
            // server's, read as the embedded engine reads a declared type, except that the
            // server's real is four bytes (a single) where the embedded engine's is eight.
            std::string serverType = PQgetvalue(result.get(), row, 2);
            if (serverType == "real") serverType = "SINGLE";
            fields.push_back(FieldFromDeclaration(PQgetvalue(result.get(), row, 0), serverType));
        } else {
            fields.push_back(FieldFromDeclaration(comment.substr(0, tab), comment.substr(tab + 1)));
        }
    }
    return {};
}

DbError PgReadIndexes(PgConnection& conn, const std::string& table,
                      std::vector<IndexDef>& indexes) {
    indexes.clear();
    PgResult result;
    if (DbError error = conn.Run(
            "SELECT obj_description(x.indexrelid, 'pg_class') FROM pg_index x "
            "JOIN pg_class c ON c.oid = x.indrelid JOIN pg_namespace n ON n.oid = c.relnamespace "
            "WHERE n.nspname = $1 AND c.relname = $2 "
            "AND obj_description(x.indexrelid, 'pg_class') IS NOT NULL ORDER BY x.indexrelid",
            {conn.schema, ToLower(table)}, &result); !error.Ok()) {
        return error;
    }
    for (int row = 0; row < PQntuples(result.get()); ++row) {
        // The comment is "Name<TAB>U or -<TAB>Field<TAB>Field...".
        std::vector<std::string> parts;
        std::string comment = PQgetvalue(result.get(), row, 0);
        size_t start = 0;
        for (size_t tab; (tab = comment.find('\t', start)) != std::string::npos; start = tab + 1) {
            parts.push_back(comment.substr(start, tab - start));
        }
        parts.push_back(comment.substr(start));
        if (parts.size() < 3) continue;
        IndexDef index;
        index.name = parts[0];
        // Every unique index this system creates is a table's primary key.
        index.unique = index.primary = parts[1] == "U";
        index.fields.assign(parts.begin() + 2, parts.end());
        indexes.push_back(std::move(index));
    }
    return {};
}

// ---------------------------------------------------------------------------------------------
// Opening

namespace {

std::string Literal(PGconn* conn, std::string_view text) {
    char* quoted = PQescapeLiteral(conn, text.data(), text.size());
    if (!quoted) return "''";
    std::string result(quoted);
    PQfreemem(quoted);
    return result;
}

}  // namespace

DbError PgConnectInstallation(const std::string& conninfo, PgConnection& conn) {
    conn.Close();
    conn.conn = PQconnectdb(conninfo.c_str());
    conn.host = HostOf(conn.conn);
    if (!conn.conn || PQstatus(conn.conn) != CONNECTION_OK) {
        std::string reason = TrimMessage(conn.conn ? PQerrorMessage(conn.conn) : "out of memory");
        conn.Close();
        return ServerFailure(err::kCannotOpenFile, "The database server " + conn.host +
                                                       " could not be reached: " + reason);
    }
    // Notices (an index name shortened, ...) are the server's business, not the user's.
    PQsetNoticeProcessor(conn.conn, [](void*, const char*) {}, nullptr);
    DbError error = conn.Run(std::string("SET lock_timeout = '") + kLockTimeout + "'");
    if (error.Ok()) {
        error = conn.RunScript(
            "CREATE TABLE IF NOT EXISTS " + std::string(kCatalogueTable) +
            " (file_name text NOT NULL, schema_name text PRIMARY KEY, kind text NOT NULL "
            "DEFAULT '')");
    }
    if (!error.Ok()) conn.Close();
    return error;
}

DbError PgDatabase::Connect(const std::string& conninfo, const std::string& fileName) {
    Close();
    if (Trim(fileName).empty()) return DbError::Make(err::kNotAValidPath, "No file name was given.");
    auto conn = std::make_shared<PgConnection>();
    if (DbError error = PgConnectInstallation(conninfo, *conn); !error.Ok()) return error;
    conn->name = fileName;
    size_t slash = conn->name.find_last_of("/\\");
    if (slash != std::string::npos) conn->name = conn->name.substr(slash + 1);
    conn->schema = SchemaOf(fileName);
    conn_ = std::move(conn);
    return {};
}

DbError PgDatabase::EnterSchema() {
    PgConnection& conn = *conn_;
    PgResult result;
    if (DbError error = conn.Run("SELECT file_name FROM " + std::string(kCatalogueTable) +
                                     " WHERE schema_name = $1",
                                 {conn.schema}, &result); !error.Ok()) {
        return error;
    }
    if (PQntuples(result.get()) == 0) {
        return DbError::Make(err::kCouldNotFindFile,
                             "Could not find file '" + conn.name + "'.");
    }
    conn.name = PQgetvalue(result.get(), 0, 0);
    // Held for as long as the database is open: delete, rename and compact need the
    // database to themselves and take the same lock exclusively. The server drops it with
    // the session, so a workstation that crashed leaves nothing behind.
    if (DbError error = conn.Run("SELECT pg_try_advisory_lock_shared($1::integer, "
                                 "hashtext($2)::integer)",
                                 {std::to_string(kLockClass), conn.schema}, &result); !error.Ok()) {
        return error;
    }
    if (std::string_view(PQgetvalue(result.get(), 0, 0)) != "t") {
        return DbError::Make(err::kCannotOpenFile,
                             "'" + conn.name + "' is being changed by another workstation.");
    }
    return conn.Run("SET search_path TO " + QuoteName(conn.schema) + ", pg_catalog");
}

DbError PgDatabase::Open(const std::string& conninfo, const std::string& fileName) {
    if (DbError error = Connect(conninfo, fileName); !error.Ok()) return error;
    if (DbError error = EnterSchema(); !error.Ok()) {
        Close();
        return error;
    }
    return {};
}

DbError PgDatabase::Create(const std::string& conninfo, const std::string& fileName) {
    if (DbError error = Connect(conninfo, fileName); !error.Ok()) return error;
    PgConnection& conn = *conn_;
    std::string schema = QuoteName(conn.schema);
    DbError error = conn.RunScript(
        "CREATE SCHEMA " + schema + "; CREATE COLLATION " + schema +
        ".vantor_nocase (provider = icu, locale = 'und-u-ks-level2', deterministic = false); "
        "INSERT INTO " + std::string(kCatalogueTable) + " (file_name, schema_name) VALUES (" +
        Literal(conn.conn, conn.name) + ", " + Literal(conn.conn, conn.schema) + ")");
    if (error.number == err::kDuplicateKey || error.number == err::kDatabaseExists) {
        error = DbError::Make(err::kDatabaseExists, "Database already exists.");
    }
    if (error.Ok()) error = EnterSchema();
    if (!error.Ok()) Close();
    return error;
}

void PgDatabase::Close() {
    if (conn_) conn_->Close();
    conn_.reset();
}

bool PgDatabase::IsOpen() const {
    return conn_ && conn_->IsOpen();
}

const std::string& PgDatabase::Path() const {
    static const std::string kNone;
    return conn_ ? conn_->name : kNone;
}

std::string PgDatabase::EngineVersion() const {
    if (!IsOpen()) return "";
    int version = PQserverVersion(conn_->conn);
    return std::to_string(version / 10000) + "." + std::to_string(version % 10000);
}

DbError PgDatabase::CopyTo(const std::string& /*targetPath*/) {
    return DbError::Make(err::kInvalidArgument,
                         "A database on the server is copied by the server's store.");
}

// ---------------------------------------------------------------------------------------------
// Definitions

std::vector<std::string> PgDatabase::TableNames() const {
    std::vector<std::string> names;
    if (!IsOpen()) return names;
    PgResult result;
    if (!conn_->Run("SELECT coalesce(obj_description(c.oid, 'pg_class'), c.relname) FROM pg_class c "
                    "JOIN pg_namespace n ON n.oid = c.relnamespace "
                    "WHERE n.nspname = $1 AND c.relkind = 'r' ORDER BY c.oid",
                    {conn_->schema}, &result)
             .Ok()) {
        return names;
    }
    for (int row = 0; row < PQntuples(result.get()); ++row) {
        names.emplace_back(PQgetvalue(result.get(), row, 0));
    }
    return names;
}

DbError PgDatabase::FindTable(std::string_view name, std::string* storedName) const {
    if (!IsOpen()) return ClosedError();
    return PgLookupTable(*conn_, name, storedName);
}

namespace {

std::string ColumnComment(PGconn* conn, const std::string& table, const FieldDef& field) {
    return "COMMENT ON COLUMN " + PgName(table) + "." + PgName(field.name) + " IS " +
           Literal(conn, field.name + "\t" + DeclaredType(field));
}

}  // namespace

DbError PgDatabase::CreateTable(std::string_view name, std::span<const FieldDef> fields) {
    if (!IsOpen()) return ClosedError();
    ++conn_->epoch;
    std::string table(name);
    std::string sql = "CREATE TABLE " + PgName(table) + " (" + std::string(kRowIdColumn) +
                      " bigint GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY";
    for (const FieldDef& field : fields) sql += ", " + PgName(field.name) + " " + PgType(field);
    sql += "); COMMENT ON TABLE " + PgName(table) + " IS " + Literal(conn_->conn, table);
    for (const FieldDef& field : fields) sql += "; " + ColumnComment(conn_->conn, table, field);
    return conn_->RunScript(sql);
}

DbError PgDatabase::AddField(std::string_view table, const FieldDef& field) {
    if (!IsOpen()) return ClosedError();
    ++conn_->epoch;
    std::string stored(table);
    return conn_->RunScript("ALTER TABLE " + PgName(stored) + " ADD COLUMN " +
                            PgName(field.name) + " " + PgType(field) + "; " +
                            ColumnComment(conn_->conn, stored, field));
}

DbError PgDatabase::AddIndex(std::string_view table, const IndexDef& index) {
    if (!IsOpen()) return ClosedError();
    ++conn_->epoch;
    std::string stored(table);
    std::vector<FieldDef> fields;
    if (DbError error = PgReadFields(*conn_, stored, fields); !error.Ok()) return error;
    std::string columns, comment = index.name;
    bool unique = index.primary || index.unique;
    comment += unique ? "\tU" : "\t-";
    for (const std::string& name : index.fields) {
        auto it = std::find_if(fields.begin(), fields.end(),
                               [&](const FieldDef& f) { return EqualsNoCase(f.name, name); });
        if (it == fields.end()) {
            return DbError::Make(err::kItemNotFound, "No field " + name + " in " + stored);
        }
        if (!columns.empty()) columns += ", ";
        // Nulls come first in an index's order, as on the embedded engine.
        columns += PgName(it->name) + " NULLS FIRST";
        comment += "\t" + it->name;
    }
    std::string indexName = PgName(stored + "." + index.name);
    return conn_->RunScript(std::string(unique ? "CREATE UNIQUE INDEX " : "CREATE INDEX ") +
                            indexName + " ON " + PgName(stored) + " (" + columns +
                            "); COMMENT ON INDEX " + indexName + " IS " +
                            Literal(conn_->conn, comment));
}

DbError PgDatabase::GetFields(std::string_view table, std::vector<FieldDef>& fields) const {
    if (!IsOpen()) return ClosedError();
    std::string stored;
    if (DbError error = FindTable(table, &stored); !error.Ok()) return error;
    return PgReadFields(*conn_, stored, fields);
}

DbError PgDatabase::GetIndexes(std::string_view table, std::vector<IndexDef>& indexes) const {
    if (!IsOpen()) return ClosedError();
    std::string stored;
    if (DbError error = FindTable(table, &stored); !error.Ok()) return error;
    return PgReadIndexes(*conn_, stored, indexes);
}

// ---------------------------------------------------------------------------------------------
// Statements

namespace {

DbError Translate(std::string_view sql, std::span<const DbValue> params, std::string& text,
                  PgParams& values) {
    int count = 0;
    text = TranslateSql(sql, count);
    if (count != static_cast<int>(params.size())) {
        return DbError::Make(err::kTooFewParameters, "Too few parameters.");
    }
    values.clear();
    for (const DbValue& param : params) values.push_back(PgText(param));
    return {};
}

}  // namespace

DbError PgDatabase::Execute(std::string_view sql, std::span<const DbValue> params,
                            long long* rowsAffected) {
    if (!IsOpen()) return ClosedError();
    ++conn_->epoch;  // the statement may change any row
    std::string text;
    PgParams values;
    if (DbError error = Translate(sql, params, text, values); !error.Ok()) return error;
    PgResult result;
    if (DbError error = conn_->RunGuarded(text, values, &result); !error.Ok()) return error;
    if (rowsAffected) *rowsAffected = std::atoll(PQcmdTuples(result.get()));
    return {};
}

DbError PgDatabase::Query(std::string_view sql, std::span<const DbValue> params,
                          std::unique_ptr<QueryBackend>& result) const {
    result.reset();
    if (!IsOpen()) return ClosedError();
    std::string text;
    PgParams values;
    if (DbError error = Translate(Trim(sql), params, text, values); !error.Ok()) return error;
    auto query = std::make_unique<PgQuery>();
    query->conn_ = conn_;
    if (DbError error = conn_->RunGuarded(text, values, &query->result_); !error.Ok()) return error;
    const PGresult* res = query->result_.get();
    for (int column = 0; column < PQnfields(res); ++column) {
        std::string name = PQfname(res, column);
        if (name == kRowIdColumn) continue;  // the hidden row number is no field
        query->columns_.push_back(column);
        query->names_.push_back(name);
        query->nameIndex_.emplace(name, static_cast<int>(query->names_.size()) - 1);
    }
    result = std::move(query);
    return {};
}

// ---------------------------------------------------------------------------------------------
// Transactions

namespace {
std::string SavepointName(int depth) {
    return "vantor_level_" + std::to_string(depth);
}
}  // namespace

DbError PgDatabase::Notify(std::string_view channel) {
    if (!IsOpen()) return ClosedError();
    if (conn_->transactionDepth > 0) {
        // The server delivers it at the commit in any case: it goes with the COMMIT.
        conn_->notifies.push_back({std::string(channel), conn_->transactionDepth});
        return {};
    }
    return conn_->Run("SELECT pg_notify($1, $2)", {std::string(channel), conn_->schema});
}

namespace {

// The held notifications and the COMMIT in one pipeline; the first failure, if any (the
// COMMIT is then not run and the transaction stays open for the caller to roll back).
DbError CommitWithNotifications(PgConnection& conn) {
    PGconn* pg = conn.conn;
    bool ok = PQenterPipelineMode(pg) == 1;
    for (const PgConnection::HeldNotify& notify : conn.notifies) {
        const char* values[] = {notify.channel.c_str(), conn.schema.c_str()};
        ok = ok && PQsendQueryParams(pg, "SELECT pg_notify($1, $2)", 2, nullptr, values, nullptr,
                                     nullptr, 0) == 1;
    }
    ok = ok && PQsendQueryParams(pg, "COMMIT", 0, nullptr, nullptr, nullptr, nullptr, 0) == 1 &&
         PQpipelineSync(pg) == 1;
    DbError error;
    bool failed = false;
    size_t query = 0;
    const size_t queries = conn.notifies.size() + 1;
    while (ok) {
        PgResult res(PQgetResult(pg));
        if (!res) {
            if (PQstatus(pg) != CONNECTION_OK || ++query > queries) ok = false;
            continue;
        }
        ExecStatusType status = PQresultStatus(res.get());
        if (status == PGRES_PIPELINE_SYNC) break;
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK &&
            status != PGRES_PIPELINE_ABORTED && !failed) {
            failed = true;
            error = conn.ErrorOf(res.get());
        }
    }
    if (!ok || PQexitPipelineMode(pg) != 1) return conn.ErrorOf(nullptr);
    return error;
}

}  // namespace

DbError PgDatabase::BeginTrans() {
    if (!IsOpen()) return ClosedError();
    ++conn_->epoch;
    std::string sql = conn_->transactionDepth == 0
                          ? "BEGIN"
                          : "SAVEPOINT " + SavepointName(conn_->transactionDepth);
    if (DbError error = conn_->Run(sql); !error.Ok()) return error;
    ++conn_->transactionDepth;
    return {};
}

DbError PgDatabase::CommitTrans() {
    if (!IsOpen()) return ClosedError();
    ++conn_->epoch;
    if (conn_->transactionDepth == 0) {
        return DbError::Make(err::kAlreadyInTransaction, "No transaction is open.");
    }
    // Rows a batch still holds are part of the transaction. A row the server refused that no
    // batch took back would otherwise be committed away unseen: the caller believes it stored.
    conn_->SendHeldRows();
    if (!conn_->refusals.empty()) return conn_->refusals.front().error;
    // A transaction the server has given up (a statement failed outside the statement
    // guard, the connection broke) cannot be committed: the server would answer COMMIT by
    // rolling back, and the work would be lost while the caller took it for stored.
    if (PQtransactionStatus(conn_->conn) != PQTRANS_INTRANS) {
        DbError failure = conn_->ErrorOf(nullptr);
        if (failure.number != err::kDiskOrNetworkError) {
            failure = DbError::Make(err::kReserved, "The transaction was rolled back by the "
                                                    "database server after a failure.");
            PgResult undo(PQexec(conn_->conn, "ROLLBACK"));
        }
        conn_->transactionDepth = 0;
        conn_->refusals.clear();
        conn_->notifies.clear();
        return failure;
    }
    if (conn_->transactionDepth == 1) {
        if (DbError error = CommitWithNotifications(*conn_); !error.Ok()) return error;
        conn_->notifies.clear();
        conn_->transactionDepth = 0;
        return {};
    }
    if (DbError error = conn_->Run("RELEASE " + SavepointName(conn_->transactionDepth - 1));
        !error.Ok()) {
        return error;
    }
    // What the level sent now belongs to the level around it.
    for (auto& notify : conn_->notifies) {
        if (notify.depth == conn_->transactionDepth) --notify.depth;
    }
    --conn_->transactionDepth;
    return {};
}

DbError PgDatabase::Rollback() {
    if (!IsOpen()) return ClosedError();
    ++conn_->epoch;
    if (conn_->transactionDepth == 0) {
        return DbError::Make(err::kAlreadyInTransaction, "No transaction is open.");
    }
    // Rows held are inside the level rolled back (BeginTrans sent those before it): they go
    // unsent. Refusals are settled with the whole transaction.
    conn_->held.clear();
    if (conn_->transactionDepth == 1) conn_->refusals.clear();
    std::erase_if(conn_->notifies, [&](const PgConnection::HeldNotify& notify) {
        return notify.depth >= conn_->transactionDepth;
    });
    if (PQstatus(conn_->conn) != CONNECTION_OK) {
        conn_->transactionDepth = 0;  // the server dropped it with the connection
        return {};
    }
    std::string sql;
    if (conn_->transactionDepth == 1) {
        sql = "ROLLBACK";
    } else {
        std::string name = SavepointName(conn_->transactionDepth - 1);
        sql = "ROLLBACK TO " + name + "; RELEASE " + name;
    }
    PgResult result(PQexec(conn_->conn, sql.c_str()));
    ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK) return conn_->ErrorOf(result.get());
    --conn_->transactionDepth;
    return {};
}

int PgDatabase::TransactionDepth() const {
    return IsOpen() ? conn_->transactionDepth : 0;
}

}  // namespace vantor::engine_detail
