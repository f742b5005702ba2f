#pragma once
// The database server the test run started for itself (scripts/pg-test-server.sh, run by CTest
// as a fixture), and databases made on either backend for tests that run against both.

#include <memory>
#include <string>
#include <vector>

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

// An installation of its own on the test server (a server database made for the test and
// dropped afterwards), for a test that lists every database of an installation.
class ServerInstallation {
  public:
    ServerInstallation();
    ~ServerInstallation();
    ServerInstallation(const ServerInstallation&) = delete;
    ServerInstallation& operator=(const ServerInstallation&) = delete;

    // The test server's connection string naming this installation's database.
    const std::string& conninfo() const { return conninfo_; }

  private:
    std::string name_;
    std::string conninfo_;
};

// Where a test's database lives: a file in a directory of the test, or a schema on the server.
class TestDatabaseLocation {
  public:
    // A file fileName in directory, or a database of a name no other test uses on the server.
    TestDatabaseLocation(Backend backend, const std::string& directory,
                         const std::string& fileName = "TEST.MDB");

    Backend backend() const { return backend_; }
    // The database's name: a path for a file, the file name a server knows it by.
    const std::string& name() const { return name_; }

    DbError Create(Database& db) const;
    DbError Open(Database& db) const;

  private:
    Backend backend_;
    std::string name_;
};

// A program listening on the test server for notifications on one channel, as a playout engine
// does; Received() gives the payloads that arrived so far, in order.
class NotificationListener {
  public:
    explicit NotificationListener(const std::string& channel);
    ~NotificationListener();
    NotificationListener(const NotificationListener&) = delete;
    NotificationListener& operator=(const NotificationListener&) = delete;

    std::vector<std::string> Received();

  private:
    struct Connection;
    std::unique_ptr<Connection> conn_;
};

}  // namespace vantor::testing
