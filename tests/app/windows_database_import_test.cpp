// Bringing over the databases of a Windows installation without a window, as a scheduler or
// an installer runs the program: reports, exit statuses, and a migrated playout database that
// the importer then treats exactly as one it made.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/clock.h"
#include "common/files.h"
#include "common/locale.h"
#include "common/paths.h"
#include "dbengine/engine.h"
#include "program_runner.h"
#include "support/jet_writer.h"
#include "support/succeeded.h"
#include "support/kora_installation.h"
#include "support/scheduler_log_writer.h"
#include "support/temp_dir.h"

namespace vantor::testing {
namespace {

namespace fs = std::filesystem;

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The tables of a database of ours, as the Windows installation would have held them.
std::vector<JetTable> AsJetTables(const std::string& path) {
    Database db;
    EXPECT_THAT(db.Open(path), Succeeded());
    std::vector<JetTable> tables;
    for (const std::string& name : db.TableNames()) {
        JetTable table{name, {}, {}, {}};
        std::vector<FieldDef> fields;
        EXPECT_THAT(db.GetFields(name, fields), Succeeded());
        for (const FieldDef& field : fields) table.columns.emplace_back(field.name, field.type, field.size);
        TableCursor rows;
        EXPECT_THAT(db.OpenTable(name, rows), Succeeded());
        for (DbError e = rows.MoveFirst(); e.Ok() && !rows.Eof(); e = rows.MoveNext()) {
            JetRow row;
            for (size_t c = 0; c < fields.size(); ++c) row.push_back(rows.Field(static_cast<int>(c)));
            table.rows.push_back(row);
        }
        tables.push_back(table);
    }
    return tables;
}

class WindowsDatabaseImportTest : public ::testing::Test {
  protected:
    WindowsDatabaseImportTest() : station_(dir_.path(), Options()) {}

    static InstallationOptions Options() {
        InstallationOptions options;
        options.maxCart = 5000;
        options.carts = {{1001, "Advert", 30}, {4001, "First song", 180}};
        options.underrunningDuration = 60;  // short hours are not reported
        return options;
    }
    ProgramRun Run(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "--headless");
        return RunProgram(arguments, station_.Environment());
    }
    std::string Schedule(const std::string& name) const {
        return JoinPath(ParentDirectoryOf(station_.databasePath, false), name);
    }

    TempDir dir_;
    KoraInstallation station_;
    const int32_t today_ = SystemClock().Today();
};

TEST_F(WindowsDatabaseImportTest, AMigratedPlayoutDatabaseIsTreatedAsOneOfOurs) {
    SchedulerLogWriter log;
    for (int hour = 6; hour <= 9; ++hour)
        log.Header(SchedulerDate(today_ + 1), hour, "Clock").Item("4001", "First song").Item("1001", "Advert");
    station_.WriteLog(today_ + 1, log);
    const std::vector<std::string> range = {"/AUTO", "/QUIT",
                                            "--start-date=" + FormatDate(today_ + 1, "dd mmmm yyyy"),
                                            "--start-hour=06", "--end-hour=09"};
    std::vector<std::string> first = {"KORA26.MDB"};
    first.insert(first.end(), range.begin(), range.end());
    ProgramRun imported = Run(first);
    ASSERT_EQ(imported.exitCode, 0) << imported.err << imported.out;

    // The same running order, as the Windows installation kept it in a Jet 4 file.
    const std::string windowsFile = dir_ / "windows/KORA40.MDB";
    fs::create_directories(dir_ / "windows");
    ASSERT_EQ(WriteJetFile(windowsFile, JetVersion::Jet4, AsJetTables(station_.databasePath)), "");

    ProgramRun migrated = Run({"--import-windows-database=" + windowsFile});
    ASSERT_EQ(migrated.exitCode, 0) << migrated.err << migrated.out;
    EXPECT_TRUE(Contains(migrated.out, "Windows database: " + windowsFile + " (Jet 4, playout database)"));
    EXPECT_TRUE(Contains(migrated.out, "Written to: " + Schedule("KORA40.MDB")));
    EXPECT_TRUE(Contains(migrated.out, "Everything came over."));

    // Importing the same hours into the migrated database re-sends none of them, and ends as
    // the same import into the database the importer made does.
    std::vector<std::string> again = {"KORA40.MDB"};
    again.insert(again.end(), range.begin(), range.end());
    ProgramRun second = Run(again);
    std::vector<std::string> ours = {"KORA26.MDB"};
    ours.insert(ours.end(), range.begin(), range.end());
    ProgramRun secondOnOurs = Run(ours);
    EXPECT_EQ(second.exitCode, secondOnOurs.exitCode) << second.err;
    for (const char* hour : {"06:00", "07:00", "08:00", "09:00"})
        EXPECT_TRUE(Contains(second.out, "The following hour was already in Kora so was not re-sent : " +
                                             FormatDate(today_ + 1, "dd mmmm yyyy") + " " + hour))
            << hour << second.out;
    EXPECT_EQ(HourStartsIn(Schedule("KORA40.MDB")), HourStartsIn(station_.databasePath));
}

TEST_F(WindowsDatabaseImportTest, ExitStatusesTellWhatCameOver) {
    const std::string windows = dir_ / "windows";
    fs::create_directories(windows);
    const std::string good = windows + "/KORA41.MDB";
    ASSERT_EQ(WriteJetFile(good, JetVersion::Jet3,
                           {{"Log", {{"QIndex", FieldType::Double}}, {{DbValue(1.5)}}, {}}}),
              "");
    const std::string partly = windows + "/KORA42.MDB";
    ASSERT_EQ(WriteJetFile(partly, JetVersion::Jet4,
                           {{"Log", {{"QIndex", FieldType::Double}}, {{DbValue(1.5)}}, {}},
                            {"Extras", {{"Anything", FieldType::Long}}, {{DbValue(1)}}, {}}}),
              "");
    const std::string notJet = windows + "/KORA43.MDB";
    std::ofstream(notJet) << "not a database\n";

    ProgramRun complete = Run({"--import-windows-database=" + good});
    EXPECT_EQ(complete.exitCode, 0) << complete.err;
    ProgramRun someLeftOut = Run({"--import-windows-database=" + partly});
    EXPECT_EQ(someLeftOut.exitCode, 4) << someLeftOut.err;
    EXPECT_TRUE(Contains(someLeftOut.out, "Left out: table Extras"));

    const auto before = FilesIn(ParentDirectoryOf(station_.databasePath, false));
    ProgramRun refused = Run({"--import-windows-database=" + notJet});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_TRUE(Contains(refused.err, "error: " + notJet + ": it is not a database")) << refused.err;
    EXPECT_TRUE(Contains(refused.out, "Nothing was written"));
    // An existing database is not replaced without --replace, and the refusal decides the
    // status of a run that brought another file over.
    ProgramRun exists = Run({"--import-windows-database=" + good, "--import-windows-database=" + partly});
    EXPECT_EQ(exists.exitCode, 2);
    EXPECT_TRUE(Contains(exists.err, "already exists")) << exists.err;
    EXPECT_EQ(FilesIn(ParentDirectoryOf(station_.databasePath, false)), before);

    ProgramRun replaced = Run({"--import-windows-database=" + good, "--replace"});
    EXPECT_EQ(replaced.exitCode, 0) << replaced.err;
    EXPECT_TRUE(fs::exists(Schedule("KORA41-0001.BAK")));
    EXPECT_TRUE(Contains(replaced.out, "The old database was kept as: " + Schedule("KORA41-0001.BAK")));
}

}  // namespace
}  // namespace vantor::testing
