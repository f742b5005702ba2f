#pragma once
// The database server the test run started for itself (scripts/pg-test-server.sh, run by CTest
// as a fixture), and databases made on either backend for tests that run against both.

#include <string>

#include "dbengine/engine.h"

namespace vantor::testing {

enum class Backend { Sqlite, Postgres };

// "Sqlite" / "Postgres", for test names.
std::string BackendName(Backend backend);

// The connection string of the test run's server. A test that needs the server and finds none
// fails: the server is part of the test run, never an optional extra.
std::string TestServerConninfo();

// A database file name on the test server that no other test uses ("T1234_7.MDB").
std::string UniqueServerDatabaseName();

// Where a test's database lives: a file in a directory of the test, or a schema on the server.
class TestDatabaseLocation {
  public:
    TestDatabaseLocation(Backend backend, std::string directory);

    Backend backend() const { return backend_; }
    // The database's name: a path for a file, the file name a server knows it by.
    const std::string& name() const { return name_; }

    DbError Create(Database& db) const;
    DbError Open(Database& db) const;

  private:
    Backend backend_;
    std::string name_;
};

}  // namespace vantor::testing
