#include "support/test_server.h"

#include <dlfcn.h>
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

// The client library, loaded the first time a test talks to the server itself: the test
// programs link no libpq, so that a test can see the program load it only for a server.
struct ClientLibrary {
    decltype(&::PQconnectdb) connectdb = nullptr;
    decltype(&::PQstatus) status = nullptr;
    decltype(&::PQexec) exec = nullptr;
    decltype(&::PQresultStatus) resultStatus = nullptr;
    decltype(&::PQerrorMessage) errorMessage = nullptr;
    decltype(&::PQclear) clear = nullptr;
    decltype(&::PQfinish) finish = nullptr;
    decltype(&::PQescapeIdentifier) escapeIdentifier = nullptr;
    decltype(&::PQfreemem) freemem = nullptr;
    decltype(&::PQconsumeInput) consumeInput = nullptr;
    decltype(&::PQnotifies) notifies = nullptr;

    ClientLibrary() {
        void* handle = ::dlopen("libpq.so.5", RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            ADD_FAILURE() << "libpq could not be loaded: " << ::dlerror();
            std::abort();
        }
        auto find = [handle](auto& function, const char* name) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(
                ::dlsym(handle, name));
            if (!function) {
                ADD_FAILURE() << "libpq has no " << name;
                std::abort();
            }
        };
        find(connectdb, "PQconnectdb");
        find(status, "PQstatus");
        find(exec, "PQexec");
        find(resultStatus, "PQresultStatus");
        find(errorMessage, "PQerrorMessage");
        find(clear, "PQclear");
        find(finish, "PQfinish");
        find(escapeIdentifier, "PQescapeIdentifier");
        find(freemem, "PQfreemem");
        find(consumeInput, "PQconsumeInput");
        find(notifies, "PQnotifies");
    }
};

const ClientLibrary& Pq() {
    static const ClientLibrary library;
    return library;
}

// Runs one statement on the test server's own database; a failure fails the test.
void RunOnServer(const std::string& sql) {
    PGconn* conn = Pq().connectdb(TestServerConninfo().c_str());
    PGresult* result = Pq().status(conn) == CONNECTION_OK ? Pq().exec(conn, sql.c_str()) : nullptr;
    if (!result || Pq().resultStatus(result) != PGRES_COMMAND_OK)
        ADD_FAILURE() << sql << ": " << Pq().errorMessage(conn);
    Pq().clear(result);
    Pq().finish(conn);
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
        if (conn) Pq().finish(conn);
    }
};

NotificationListener::NotificationListener(const std::string& channel)
    : conn_(std::make_unique<Connection>()) {
    conn_->conn = Pq().connectdb(TestServerConninfo().c_str());
    if (Pq().status(conn_->conn) != CONNECTION_OK) {
        ADD_FAILURE() << "The listener could not connect: " << Pq().errorMessage(conn_->conn);
        return;
    }
    char* name = Pq().escapeIdentifier(conn_->conn, channel.c_str(), channel.size());
    PGresult* result = Pq().exec(conn_->conn, ("LISTEN " + std::string(name)).c_str());
    Pq().freemem(name);
    if (Pq().resultStatus(result) != PGRES_COMMAND_OK) {
        ADD_FAILURE() << "LISTEN failed: " << Pq().errorMessage(conn_->conn);
    }
    Pq().clear(result);
}

NotificationListener::~NotificationListener() = default;

std::vector<std::string> NotificationListener::Received() {
    std::vector<std::string> payloads;
    // A round trip collects whatever the server sent before it.
    Pq().clear(Pq().exec(conn_->conn, "SELECT 1"));
    Pq().consumeInput(conn_->conn);
    while (PGnotify* note = Pq().notifies(conn_->conn)) {
        payloads.emplace_back(note->extra);
        Pq().freemem(note);
    }
    return payloads;
}

}  // namespace vantor::testing
