// Pointing an installation at a database server and moving a database file onto it, as a
// station does without a window.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "common/profile.h"
#include "config/database_server.h"
#include "dbengine/database_store.h"
#include "dbengine/engine.h"
#include "program_runner.h"
#include "support/kora_installation.h"
#include "support/scoped_env.h"
#include "support/succeeded.h"
#include "support/temp_dir.h"
#include "support/test_server.h"

namespace vantor::testing {
namespace {

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Every row of every table of a database, field by field, in the order rows were added.
std::vector<std::vector<std::string>> Contents(const Database& db) {
    std::vector<std::vector<std::string>> rows;
    for (const std::string& table : db.TableNames()) {
        TableCursor cursor;
        EXPECT_THAT(db.OpenTable(table, cursor), Succeeded()) << table;
        rows.push_back({"table " + table});
        for (; cursor.IsOpen() && !cursor.Eof(); static_cast<void>(cursor.MoveNext())) {
            std::vector<std::string> row;
            for (size_t i = 0; i < cursor.Fields().size(); ++i) {
                DbValue value = cursor.Field(int(i));
                row.push_back(value.IsNull() ? "<null>" : value.AsText());
            }
            rows.push_back(std::move(row));
        }
    }
    return rows;
}

TEST(DatabaseServerCommands, ChecksTheServerWritesTheChoiceAndCopiesADatabaseRowForRow) {
    TempDir dir;
    KoraInstallation station(dir.path(), InstallationOptions{});
    ServerInstallation server;
    const std::string ini = station.dataLocation + "/VNTR_SYS.INI";
    auto section = [&] {
        return GetProfileString(ini, "Database", "Engine", "-") + " | " +
               GetProfileString(ini, "Database", "Server", "-");
    };

    // Refused, and nothing written: a password in the shared file, a server that does not
    // answer (its host and libpq's reason named), a copy before any server is set.
    ProgramRun password = RunProgram(
        {"--headless", "--set-database-server=" + server.conninfo() + " password=secret"},
        station.Environment());
    EXPECT_EQ(password.exitCode, 2);
    EXPECT_TRUE(Contains(password.err, "~/.pgpass")) << password.err;
    ProgramRun unreachable =
        RunProgram({"--headless",
                    "--set-database-server=host=127.0.0.1 port=1 dbname=vantor connect_timeout=5"},
                   station.Environment());
    EXPECT_EQ(unreachable.exitCode, 2);
    EXPECT_TRUE(Contains(unreachable.err, "127.0.0.1:1 could not be reached: ")) << unreachable.err;
    ProgramRun early =
        RunProgram({"--headless", "--copy-database-to-server=KORA26.MDB"}, station.Environment());
    EXPECT_EQ(early.exitCode, 2);
    EXPECT_EQ(section(), "- | -");

    ProgramRun set = RunProgram({"--headless", "--set-database-server=" + server.conninfo()},
                                station.Environment());
    ASSERT_EQ(set.exitCode, 0) << set.err;
    EXPECT_EQ(section(), "PostgreSQL | " + server.conninfo());
    EXPECT_TRUE(Contains(set.out, "database server: server 127.0.0.1:")) << set.out;

    ProgramRun copied =
        RunProgram({"--headless", "--copy-database-to-server=KORA26.MDB"}, station.Environment());
    ASSERT_EQ(copied.exitCode, 0) << copied.err;
    {
        Database file;
        Database onServer;
        ASSERT_THAT(file.Open(station.dataLocation + "/SCHEDULE/KORA26.MDB"), Succeeded());
        ASSERT_THAT(onServer.OpenOnServer(server.conninfo(), "KORA26.MDB"), Succeeded());
        auto expected = Contents(file);
        EXPECT_GT(expected.size(), 5u);  // the playout tables, with their description row
        EXPECT_EQ(Contents(onServer), expected);
    }
    ProgramRun again =
        RunProgram({"--headless", "--copy-database-to-server=KORA26.MDB"}, station.Environment());
    EXPECT_EQ(again.exitCode, 2);
    EXPECT_TRUE(Contains(again.err, "already on the server")) << again.err;

    ProgramRun back = RunProgram({"--headless", "--set-database-server="}, station.Environment());
    ASSERT_EQ(back.exitCode, 0) << back.err;
    EXPECT_EQ(section(), "SQLite | -");
}

TEST(DatabaseServerChoice, TheEnvironmentOverridesTheFileWhichNeverGivesAPassword) {
    TempDir dir;
    SystemLocations locations;
    locations.SystemIniFile = dir / "VNTR_SYS.INI";
    locations.DataLocation = dir.path();
    struct Case {
        const char* engine;
        const char* server;
        std::optional<std::string> environment;
        std::string expected;
    };
    const Case cases[] = {
        {nullptr, nullptr, std::nullopt, ""},
        {"SQLite", "host=a", std::nullopt, ""},
        {"postgresql", "host=a dbname=v", std::nullopt, "host=a dbname=v"},
        {"PostgreSQL", "host=a password=x user=s", std::nullopt, "user='s' host='a'"},
        {"SQLite", nullptr, std::string("host=b"), "host=b"},
        {"PostgreSQL", "host=a", std::string("host=b"), "host=b"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(DeleteProfileKey(locations.SystemIniFile, "Database", "Engine"));
        ASSERT_TRUE(DeleteProfileKey(locations.SystemIniFile, "Database", "Server"));
        if (c.engine) WriteProfileString(locations.SystemIniFile, "Database", "Engine", c.engine);
        if (c.server) WriteProfileString(locations.SystemIniFile, "Database", "Server", c.server);
        ScopedEnv env(kDatabaseServerVariable, c.environment.value_or(""));
        EXPECT_EQ(DatabaseServerOf(locations), c.expected)
            << (c.engine ? c.engine : "-") << " " << (c.server ? c.server : "-");
        EXPECT_EQ(PlayoutDatabaseStore(locations)->OnServer(), !c.expected.empty());
    }
}

}  // namespace
}  // namespace vantor::testing
