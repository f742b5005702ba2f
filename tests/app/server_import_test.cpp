// The unattended import of a station whose playout database is on the test run's database
// server: the same rows as a station on files, and a server that cannot be used stops the run
// as a database file that cannot be opened does.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "common/clock.h"
#include "common/locale.h"
#include "dbengine/engine.h"
#include "playoutdb/log_table.h"
#include "headless_day_logs.h"
#include "program_runner.h"
#include "support/kora_installation.h"
#include "support/scheduler_log_writer.h"
#include "support/succeeded.h"
#include "support/temp_dir.h"
#include "support/test_server.h"

namespace vantor::testing {
namespace {

InstallationOptions StationOptions(const std::string& server) {
    InstallationOptions options;
    options.maxCart = 5000;
    options.carts = {{1001, "Advert", 30}, {4001, "First song", 180}, {4002, "Second song", 200}};
    options.underrunningDuration = 60;
    options.databaseServer = server;
    return options;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Every column of every row of the Log table, in the table's key order, as "name=value".
std::vector<std::vector<std::string>> LogRows(const KoraInstallation& station) {
    std::vector<std::vector<std::string>> rows;
    Database db;
    TableCursor log;
    std::vector<FieldDef> fields;
    EXPECT_THAT(station.PlayoutStore()->Open(station.options.databaseName, db), Succeeded());
    EXPECT_THAT(db.GetFields("Log", fields), Succeeded());
    EXPECT_THAT(OpenLogTable(db, log), Succeeded());
    for (DbError e = log.MoveFirst(); e.Ok() && !log.Eof(); e = log.MoveNext()) {
        std::vector<std::string>& row = rows.emplace_back();
        for (const FieldDef& field : fields) {
            const DbValue value = log.Field(field.name);
            row.push_back(field.name + "=" + (value.IsNull() ? "NULL" : value.AsText()));
        }
    }
    return rows;
}

TEST(ServerImportTest, TheSameImportTwiceGivesTheSameRowsAsFilesAndReportsEveryHourNotReSent) {
    const int32_t today = SystemClock().Today();
    TempDir filesDir, serverDir;
    ServerInstallation installation;
    KoraInstallation files(filesDir.path(), StationOptions(""));
    KoraInstallation server(serverDir.path(), StationOptions(installation.conninfo()));
    ASSERT_TRUE(server.PlayoutStore()->OnServer());
    for (const KoraInstallation* station : {&files, &server}) {
        station->WriteLog(today + 1, HoursOf(today + 1, 20, 23, true));
        station->WriteLog(today + 2, HoursOf(today + 2, 0, 2, true));
    }

    std::vector<ProgramRun> firstRuns;
    for (const KoraInstallation* station : {&files, &server}) {
        ProgramRun run =
            RunProgram({"--headless", "KORA26.MDB", "/AUTO", "/QUIT"}, station->Environment());
        EXPECT_EQ(run.exitCode, 4) << run.err << run.out;  // the missing cart is reported
        firstRuns.push_back(run);
    }
    EXPECT_EQ(firstRuns[0].out, firstRuns[1].out);
    const auto fileRows = LogRows(files);
    EXPECT_EQ(fileRows.size(), 7u * 6u);  // seven hours of an hour start and five lines
    EXPECT_EQ(LogRows(server), fileRows);

    // Nothing new: the latest day is proposed again and each of its hours is already there.
    for (const KoraInstallation* station : {&files, &server}) {
        ProgramRun again =
            RunProgram({"--headless", "KORA26.MDB", "/AUTO", "/QUIT"}, station->Environment());
        EXPECT_EQ(again.exitCode, 0) << again.err << again.out;
        for (const char* hour : {"00:00", "01:00", "02:00"}) {
            EXPECT_TRUE(Contains(again.out,
                                 "The following hour was already in Kora so was not re-sent : " +
                                     FormatDate(today + 2, "dd mmmm yyyy") + " " + hour))
                << hour << "\n" << again.out;
        }
    }
    EXPECT_EQ(LogRows(server), fileRows);
}

// A server that cannot be used ends the start-up as a database file that cannot be opened
// does, naming the server and libpq's reason, and nothing is imported.
TEST(ServerImportTest, AServerThatCannotBeUsedEndsStartUpLikeAFileThatCannotBeOpened) {
    const int32_t today = SystemClock().Today();
    TempDir missingFileDir;
    InstallationOptions noDatabase = StationOptions("");
    noDatabase.databaseName = "";
    KoraInstallation missingFile(missingFileDir.path(), noDatabase);
    missingFile.WriteLog(today + 1, HoursOf(today + 1, 0, 0, true));
    const ProgramRun fileRun =
        RunProgram({"--headless", "KORA26.MDB", "/AUTO", "/QUIT"}, missingFile.Environment());
    ASSERT_EQ(fileRun.exitCode, 1) << fileRun.err;  // start-up ended

    ServerInstallation installation;
    struct Case {
        const char* what;
        std::string server;
        const char* reason;  // part of libpq's own words
    };
    const std::vector<Case> cases = {
        // Nothing listens on port 1 of the loopback interface.
        {"unreachable", "host=127.0.0.1 port=1 dbname=vantor user=station", "127.0.0.1"},
        {"missing database", installation.conninfo() + "_missing", "does not exist"},
        {"unknown account", installation.conninfo() + " user=nobody_here", "nobody_here"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        KoraInstallation station(dir.path(), noDatabase);
        station.WriteLog(today + 1, HoursOf(today + 1, 0, 0, true));
        std::map<std::string, std::string> environment = station.Environment();
        environment["VANTOR_DB_SERVER"] = c.server;
        const ProgramRun run =
            RunProgram({"--headless", "KORA26.MDB", "/AUTO", "/QUIT"}, environment);
        EXPECT_EQ(run.exitCode, fileRun.exitCode) << c.what << "\n" << run.err;
        EXPECT_TRUE(Contains(run.err, c.reason)) << c.what << "\n" << run.err;
        EXPECT_TRUE(Contains(run.err, "127.0.0.1")) << c.what << "\n" << run.err;
        EXPECT_FALSE(Contains(run.err, "successfully imported")) << c.what;
        EXPECT_FALSE(std::filesystem::exists(station.HistoryLogPath())) << c.what;
    }
}

}  // namespace
}  // namespace vantor::testing
