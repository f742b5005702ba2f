// The store of databases kept on a database server: each database is a schema of the
// installation's server database, listed in its catalogue under the file name it is known by.
// A database in use holds a shared advisory lock; deleting, renaming and compacting take the
// same lock exclusively, so they wait for nobody and are refused while another workstation
// has the database open.

#include <algorithm>

#include "common/text.h"
#include "dbengine/database_store.h"
#include "dbengine/postgres/pg_internal.h"

namespace vantor {

namespace {

using engine_detail::kCatalogueTable;
using engine_detail::kLockClass;
using engine_detail::PgConnection;
using engine_detail::PgResult;
using engine_detail::SchemaOf;

DbError InUse() {
    return DbError::Make(err::kFileAlreadyInUse, "Could not use the file; file already in use.");
}

// One connection for one operation of the store; the exclusive lock goes with it.
class StoreSession {
  public:
    explicit StoreSession(const std::string& conninfo) {
        opened_ = engine_detail::PgConnectInstallation(conninfo, conn_);
    }
    const DbError& Opened() const { return opened_; }
    PgConnection& Conn() { return conn_; }

    DbError Exists(const std::string& name, bool& exists) {
        PgResult result;
        DbError error = conn_.Run("SELECT 1 FROM " + std::string(kCatalogueTable) +
                                      " WHERE schema_name = $1",
                                  {SchemaOf(name)}, &result);
        exists = error.Ok() && PQntuples(result.get()) > 0;
        return error;
    }

    // True when nobody else holds the database: it is then this session's until it ends.
    DbError TakeExclusive(const std::string& name, bool& taken) {
        PgResult result;
        DbError error = conn_.Run("SELECT pg_try_advisory_lock($1::integer, hashtext($2)::integer)",
                                  {std::to_string(kLockClass), SchemaOf(name)}, &result);
        taken = error.Ok() && std::string_view(PQgetvalue(result.get(), 0, 0)) == "t";
        return error;
    }

  private:
    PgConnection conn_;
    DbError opened_;
};

class ServerStore final : public DatabaseStore {
  public:
    explicit ServerStore(std::string conninfo) : conninfo_(std::move(conninfo)) {}

    // host:port/dbname as libpq reads the connection string (never its password).
    std::string Location() const override {
        char* message = nullptr;
        PQconninfoOption* options = PQconninfoParse(conninfo_.c_str(), &message);
        if (message) PQfreemem(message);
        std::string host = "localhost", port, dbname;
        for (PQconninfoOption* o = options; o && o->keyword; ++o) {
            if (!o->val || !*o->val) continue;
            std::string_view key = o->keyword;
            if (key == "host" || key == "hostaddr") host = o->val;
            else if (key == "port") port = o->val;
            else if (key == "dbname") dbname = o->val;
        }
        if (options) PQconninfoFree(options);
        std::string text = "server " + host;
        if (!port.empty()) text += ":" + port;
        if (!dbname.empty()) text += "/" + dbname;
        return text;
    }

    bool OnServer() const override { return true; }

    DbError Prepare() const override { return StoreSession(conninfo_).Opened(); }

    std::vector<std::string> List() const override {
        std::vector<std::string> names;
        StoreSession session(conninfo_);
        PgResult result;
        if (!session.Opened().Ok() ||
            !session.Conn()
                 .Run("SELECT file_name FROM " + std::string(kCatalogueTable), {}, &result)
                 .Ok()) {
            return names;
        }
        for (int row = 0; row < PQntuples(result.get()); ++row)
            names.emplace_back(PQgetvalue(result.get(), row, 0));
        // The order a directory of files is listed in.
        std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
            int c = CompareNoCase(a, b);
            return c != 0 ? c < 0 : a < b;
        });
        return names;
    }

    std::string Address(const std::string& name) const override { return name; }

    bool Exists(const std::string& name) const override {
        StoreSession session(conninfo_);
        bool exists = false;
        return session.Opened().Ok() && session.Exists(name, exists).Ok() && exists;
    }

    DbError Open(const std::string& name, Database& db) const override {
        return db.OpenOnServer(conninfo_, name);
    }

    DbError OpenReadOnly(const std::string& name, Database& db) const override {
        return Open(name, db);
    }

    DbError Create(const std::string& name, Database& db, FileAccess) const override {
        // Who may read a database on the server is the server's grants' business.
        return db.CreateOnServer(conninfo_, name);
    }

    DbError Copy(const std::string& from, const std::string& to) const override {
        return CopyDatabase(*this, from, *this, to);
    }

    DbError Rename(const std::string& from, const std::string& to) const override {
        StoreSession session(conninfo_);
        if (!session.Opened().Ok()) return session.Opened();
        bool exists = false;
        if (DbError error = session.Exists(from, exists); !error.Ok()) return error;
        if (!exists) return DbError::Make(err::kCouldNotFindFile, "Could not find file '" + from + "'.");
        if (DbError error = session.Exists(to, exists); !error.Ok()) return error;
        if (exists) return DbError::Make(err::kFileAlreadyExists, "File already exists");
        bool taken = false;
        if (DbError error = session.TakeExclusive(from, taken); !error.Ok()) return error;
        if (!taken) return InUse();
        PgConnection& conn = session.Conn();
        // Only the base name without its extension names a schema; the name as given is
        // what the chooser shows.
        std::string shown = to.find('.') == std::string::npos ? to + ".MDB" : to;
        DbError error = conn.Run("BEGIN");
        if (error.Ok()) {
            error = conn.Run("ALTER SCHEMA " + engine_detail::QuoteName(SchemaOf(from)) +
                             " RENAME TO " + engine_detail::QuoteName(SchemaOf(to)));
        }
        if (error.Ok()) {
            error = conn.Run("UPDATE " + std::string(kCatalogueTable) +
                                 " SET file_name = $1, schema_name = $2 WHERE schema_name = $3",
                             {shown, SchemaOf(to), SchemaOf(from)});
        }
        if (error.Ok()) error = conn.Run("COMMIT");
        if (!error.Ok()) static_cast<void>(conn.Run("ROLLBACK"));
        return error;
    }

    DbError Remove(const std::string& name) const override {
        StoreSession session(conninfo_);
        if (!session.Opened().Ok()) return session.Opened();
        bool taken = false;
        if (DbError error = session.TakeExclusive(name, taken); !error.Ok()) return error;
        if (!taken) return InUse();
        PgConnection& conn = session.Conn();
        DbError error = conn.Run("BEGIN");
        if (error.Ok()) {
            error = conn.Run("DROP SCHEMA IF EXISTS " +
                             engine_detail::QuoteName(SchemaOf(name)) + " CASCADE");
        }
        if (error.Ok()) {
            error = conn.Run("DELETE FROM " + std::string(kCatalogueTable) +
                                 " WHERE schema_name = $1",
                             {SchemaOf(name)});
        }
        if (error.Ok()) error = conn.Run("COMMIT");
        if (!error.Ok()) static_cast<void>(conn.Run("ROLLBACK"));
        return error;
    }

    bool IsInUse(const std::string& name) const override {
        StoreSession session(conninfo_);
        bool taken = false;
        // A server that does not answer holds nothing; opening the database says why.
        if (!session.Opened().Ok() || !session.TakeExclusive(name, taken).Ok()) return false;
        return !taken;
    }

    DbError Compact(const std::string& name, const std::string& /*backupName*/) const override {
        StoreSession session(conninfo_);
        if (!session.Opened().Ok()) return session.Opened();
        bool exists = false;
        if (DbError error = session.Exists(name, exists); !error.Ok()) return error;
        if (!exists) return DbError::Make(err::kCouldNotFindFile, "Could not find file '" + name + "'.");
        bool taken = false;
        if (DbError error = session.TakeExclusive(name, taken); !error.Ok()) return error;
        if (!taken) return InUse();
        PgConnection& conn = session.Conn();
        PgResult tables;
        if (DbError error = conn.Run("SELECT tablename FROM pg_tables WHERE schemaname = $1",
                                     {SchemaOf(name)}, &tables);
            !error.Ok()) {
            return error;
        }
        // The server's own compaction: every table rewritten without its dead rows.
        for (int row = 0; row < PQntuples(tables.get()); ++row) {
            std::string table = engine_detail::QuoteName(SchemaOf(name)) + "." +
                                engine_detail::QuoteName(PQgetvalue(tables.get(), row, 0));
            if (DbError error = conn.Run("VACUUM (FULL, ANALYZE) " + table); !error.Ok())
                return error;
        }
        return {};
    }

  private:
    std::string conninfo_;
};

}  // namespace

namespace engine_detail {

bool PgConninfoHasPassword(const std::string& conninfo) {
    char* message = nullptr;
    PQconninfoOption* options = PQconninfoParse(conninfo.c_str(), &message);
    if (message) PQfreemem(message);
    bool has = false;
    for (PQconninfoOption* o = options; o && o->keyword; ++o)
        has |= std::string_view(o->keyword) == "password" && o->val && *o->val;
    if (options) PQconninfoFree(options);
    return has;
}

std::string PgConninfoWithoutPassword(const std::string& conninfo) {
    if (!PgConninfoHasPassword(conninfo)) return conninfo;
    PQconninfoOption* options = PQconninfoParse(conninfo.c_str(), nullptr);
    std::string text;
    for (PQconninfoOption* o = options; o && o->keyword; ++o) {
        if (!o->val || !*o->val || std::string_view(o->keyword) == "password") continue;
        std::string value;
        for (const char* c = o->val; *c; ++c) {
            if (*c == '\\' || *c == '\'') value += '\\';
            value += *c;
        }
        if (!text.empty()) text += ' ';
        text += std::string(o->keyword) + "='" + value + "'";
    }
    if (options) PQconninfoFree(options);
    return text;
}

std::unique_ptr<DatabaseStore> PgMakeServerStore(const std::string& conninfo) {
    return std::make_unique<ServerStore>(conninfo);
}

}  // namespace engine_detail

}  // namespace vantor
