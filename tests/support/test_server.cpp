#include "support/test_server.h"

#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>

namespace vantor::testing {

std::string BackendName(Backend backend) {
    return backend == Backend::Sqlite ? "Sqlite" : "Postgres";
}

std::string TestServerConninfo() {
    // The build names the file the test run's server writes; the environment may name another.
    const char* file = std::getenv("VANTOR_TEST_PG_CONNINFO_FILE");
    std::string conninfo;
    std::ifstream in(file ? file : VANTOR_TEST_PG_CONNINFO_FILE);
    std::getline(in, conninfo);
    if (conninfo.empty()) {
        ADD_FAILURE() << "The test database server is not running: run the tests through ctest, "
                         "which starts it (scripts/pg-test-server.sh start build/test-server), "
                         "or set VANTOR_TEST_PG_CONNINFO_FILE to a file holding a connection "
                         "string.";
    }
    return conninfo;
}

std::string UniqueServerDatabaseName() {
    static std::atomic<int> counter{0};
    return "T" + std::to_string(::getpid()) + "_" + std::to_string(++counter) + ".MDB";
}

TestDatabaseLocation::TestDatabaseLocation(Backend backend, const std::string& directory,
                                           const std::string& fileName)
    : backend_(backend),
      name_(backend == Backend::Sqlite ? directory + "/" + fileName : UniqueServerDatabaseName()) {}

DbError TestDatabaseLocation::Create(Database& db) const {
    if (backend_ == Backend::Sqlite) return db.Create(name_);
    return db.CreateOnServer(TestServerConninfo(), name_);
}

DbError TestDatabaseLocation::Open(Database& db) const {
    if (backend_ == Backend::Sqlite) return db.Open(name_);
    return db.OpenOnServer(TestServerConninfo(), name_);
}

namespace {

// Runs one statement on the test server's own database; a failure fails the test.
void RunOnServer(const std::string& sql) {
    PGconn* conn = PQconnectdb(TestServerConninfo().c_str());
    PGresult* result = PQstatus(conn) == CONNECTION_OK ? PQexec(conn, sql.c_str()) : nullptr;
    if (!result || PQresultStatus(result) != PGRES_COMMAND_OK)
        ADD_FAILURE() << sql << ": " << PQerrorMessage(conn);
    PQclear(result);
    PQfinish(conn);
}

}  // namespace

ServerInstallation::ServerInstallation() {
    static std::atomic<int> counter{0};
    name_ = "vantor_i" + std::to_string(::getpid()) + "_" + std::to_string(++counter);
    RunOnServer("CREATE DATABASE " + name_);
    // A later keyword of a connection string overrides an earlier one.
    conninfo_ = TestServerConninfo() + " dbname=" + name_;
}

ServerInstallation::~ServerInstallation() {
    RunOnServer("DROP DATABASE IF EXISTS " + name_ + " WITH (FORCE)");
}

struct NotificationListener::Connection {
    PGconn* conn = nullptr;
    ~Connection() {
        if (conn) PQfinish(conn);
    }
};

NotificationListener::NotificationListener(const std::string& channel)
    : conn_(std::make_unique<Connection>()) {
    conn_->conn = PQconnectdb(TestServerConninfo().c_str());
    if (PQstatus(conn_->conn) != CONNECTION_OK) {
        ADD_FAILURE() << "The listener could not connect: " << PQerrorMessage(conn_->conn);
        return;
    }
    char* name = PQescapeIdentifier(conn_->conn, channel.c_str(), channel.size());
    PGresult* result = PQexec(conn_->conn, ("LISTEN " + std::string(name)).c_str());
    PQfreemem(name);
    if (PQresultStatus(result) != PGRES_COMMAND_OK) {
        ADD_FAILURE() << "LISTEN failed: " << PQerrorMessage(conn_->conn);
    }
    PQclear(result);
}

NotificationListener::~NotificationListener() = default;

std::vector<std::string> NotificationListener::Received() {
    std::vector<std::string> payloads;
    // A round trip collects whatever the server sent before it.
    PQclear(PQexec(conn_->conn, "SELECT 1"));
    PQconsumeInput(conn_->conn);
    while (PGnotify* note = PQnotifies(conn_->conn)) {
        payloads.emplace_back(note->extra);
        PQfreemem(note);
    }
    return payloads;
}

}  // namespace vantor::testing
