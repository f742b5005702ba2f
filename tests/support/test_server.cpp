#include "support/test_server.h"

#include <gtest/gtest.h>
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

TestDatabaseLocation::TestDatabaseLocation(Backend backend, std::string directory)
    : backend_(backend),
      name_(backend == Backend::Sqlite ? directory + "/TEST.MDB" : UniqueServerDatabaseName()) {}

DbError TestDatabaseLocation::Create(Database& db) const {
    if (backend_ == Backend::Sqlite) return db.Create(name_);
    return db.CreateOnServer(TestServerConninfo(), name_);
}

DbError TestDatabaseLocation::Open(Database& db) const {
    if (backend_ == Backend::Sqlite) return db.Open(name_);
    return db.OpenOnServer(TestServerConninfo(), name_);
}

}  // namespace vantor::testing
