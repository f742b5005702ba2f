// Bringing over the databases of a Windows installation: files written by the tests' own Jet
// writer with our tables' layouts go through the import, and every row and value is read back
// from the database of ours that it made.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>
#include <fstream>

#include "common/files.h"
#include "common/paths.h"
#include "dbengine/engine.h"
#include "dbengine/schema.h"
#include "playoutdb/playout_tables.h"
#include "support/jet_writer.h"
#include "support/succeeded.h"
#include "support/scripted_user_interface.h"
#include "support/temp_dir.h"
#include "users/users_database.h"
#include "users/users_tables.h"
#include "windowsdb/windows_database_import.h"

namespace vantor {
namespace {

namespace fs = std::filesystem;
using testing::JetColumn;
using testing::JetRow;
using testing::JetTable;
using testing::JetVersion;
using testing::TempDir;
using testing::WriteJetFile;

// Texts outside ASCII that both versions of the format can hold (Jet 3 keeps code page 1252).
const std::string kAccents = "Caf\xC3\xA9 \xE2\x82\xAC \xC3\xBC";

// A value for every field of a layout, distinct per row (keys stay unique), with Nulls, empty
// texts, and memos long enough to need pages of their own now and then.
DbValue ValueFor(const FieldDef& field, bool key, int row, int column) {
    if (!key && field.type != FieldType::Boolean && (row + column) % 9 == 0) return DbValue();
    switch (field.type) {
        case FieldType::Boolean: return DbValue((row + column) % 2 == 0);
        case FieldType::Short: return DbValue((row * 7 + column) % 65536 - 32768);
        case FieldType::Long: return DbValue(row * 100003LL - 50000000 + column);
        case FieldType::Single: return DbValue(static_cast<float>(row) + column / 3.0f + 0.1f);
        case FieldType::Double: return DbValue(row + 1.0 / 3.0 + column * 1e-9);
        case FieldType::DateTime: return DbValue(36526.0 + row / 7.0 + column / 86400.0 + 1e-7);
        case FieldType::Memo:
            if (row % 97 == 5) return DbValue(std::string(3000 + row, 'm') + kAccents);
            return DbValue(row % 5 == 1 ? "" : "memo " + std::to_string(row) + " " + kAccents);
        case FieldType::Text: {
            if (!key && row % 13 == 2) return DbValue("");
            std::string text = std::to_string(row) + " " + kAccents + " column " +
                               std::to_string(column) + " of the row, a little longer";
            size_t width = field.TextWidth();
            while (text.size() > width) text.pop_back();  // cut within ASCII: the tail is plain
            return DbValue(text);
        }
    }
    return DbValue();
}

JetTable TableOf(const TableLayout& layout, int rows) {
    JetTable table{layout.name, {}, {}, {}};
    std::vector<std::string> keys = layout.indexes.empty() ? std::vector<std::string>{}
                                                           : layout.indexes[0].fields;
    for (const FieldDef& field : layout.fields) table.columns.emplace_back(field.name, field.type, field.size);
    for (int r = 0; r < rows; ++r) {
        JetRow row;
        for (size_t c = 0; c < layout.fields.size(); ++c) {
            bool key = std::find(keys.begin(), keys.end(), layout.fields[c].name) != keys.end();
            row.push_back(ValueFor(layout.fields[c], key, r, static_cast<int>(c)));
        }
        table.rows.push_back(row);
    }
    return table;
}

JetTable DescriptionTable(const std::string& title) {
    return {"Description",
            {{"Description", FieldType::Text}, {"Version", FieldType::Single},
             {"Type", FieldType::Long}, {"LastAccessed", FieldType::DateTime}},
            {{title, DbValue(2.6f), 14, 39000.25}},
            {}};
}

// The rows of one of our tables, in the order they were added.
std::vector<std::vector<DbValue>> RowsOf(const std::string& path, const std::string& table) {
    Database db;
    EXPECT_THAT(db.Open(path), Succeeded()) << path;
    TableCursor cursor;
    EXPECT_THAT(db.OpenTable(table, cursor), Succeeded()) << table;
    std::vector<std::vector<DbValue>> rows;
    if (!cursor.IsOpen()) return rows;
    for (DbError e = cursor.MoveFirst(); e.Ok() && !cursor.Eof(); e = cursor.MoveNext()) {
        std::vector<DbValue> row;
        for (size_t c = 0; c < cursor.Fields().size(); ++c) row.push_back(cursor.Field(static_cast<int>(c)));
        rows.push_back(row);
    }
    return rows;
}

// Value for value: numbers bit for bit (a date or double that went through a text would
// differ in its last digits), texts as written, Null as Null.
void ExpectSameRows(const JetTable& written, const std::vector<std::vector<DbValue>>& read,
                    const std::set<size_t>& leftOut = {}) {
    std::vector<const JetRow*> expected;
    for (size_t r = 0; r < written.rows.size(); ++r)
        if (!written.deletedRows.count(r) && !leftOut.count(r)) expected.push_back(&written.rows[r]);
    ASSERT_EQ(read.size(), expected.size()) << written.name;
    for (size_t r = 0; r < read.size(); ++r) {
        for (size_t c = 0; c < written.columns.size(); ++c) {
            const DbValue& want = (*expected[r])[c];
            const DbValue& got = read[r][c];
            SCOPED_TRACE(written.name + " row " + std::to_string(r) + " " + written.columns[c].name);
            if (want.IsNull() || got.IsNull())
                EXPECT_EQ(got.IsNull(), want.IsNull()) << got;
            else if (want.IsText())
                EXPECT_EQ(got, want);
            else if (want.kind() == DbValue::Kind::Double)
                EXPECT_EQ(got.AsDouble(), want.AsDouble());
            else
                EXPECT_EQ(got.AsInteger(), want.AsInteger());
        }
    }
}

struct Station {
    TempDir dir;
    ScriptedUserInterface ui;
    WindowsImportTarget target;
    Station() {
        target.playoutDirectory = dir / "DATA/SCHEDULE";
        target.usersDatabase = UsersDatabasePath(dir / "DATA");
        fs::create_directories(dir / "DATA");
    }
    std::string Schedule(const std::string& name) const { return JoinPath(dir / "DATA/SCHEDULE", name); }
};

class WindowsImportTest : public ::testing::TestWithParam<JetVersion> {};

TEST_P(WindowsImportTest, PlayoutDatabaseComesOverValueForValue) {
    Station station;
    JetTable log = TableOf(LogTableLayout(), 3000);
    for (size_t r = 40; r < 3000; r += 150) log.deletedRows.insert(r);
    const std::vector<JetTable> tables = {log, TableOf(SettingsTableLayout(), 40),
                                          TableOf(SongsTableLayout(), 25),
                                          DescriptionTable("Morning " + kAccents)};
    const std::string source = station.dir / "KORA26.MDB";
    testing::JetLayoutChoices choices;
    choices.rowsPerPage = 10;  // the Log spreads over some 300 pages
    ASSERT_EQ(WriteJetFile(source, GetParam(), tables, choices), "");

    WindowsImportReport report = ImportWindowsDatabase(station.ui, source, station.target);
    ASSERT_EQ(report.outcome, WindowsImportOutcome::Complete) << report.Text();
    EXPECT_EQ(report.kind, WindowsDatabaseKind::Playout);
    EXPECT_EQ(report.target, station.Schedule("KORA26.MDB"));
    EXPECT_TRUE(station.ui.messages.empty());

    for (const JetTable& table : tables) ExpectSameRows(table, RowsOf(report.target, table.name));
    ASSERT_FALSE(report.tables.empty());
    EXPECT_EQ(report.tables[0].table, "Log");
    EXPECT_EQ(report.tables[0].rowsRead, 3000 - static_cast<long long>(log.deletedRows.size()));
    EXPECT_EQ(report.tables[0].rowsWritten, report.tables[0].rowsRead);

    // Brought up to date as an older database of ours: the tables the file lacked are there.
    Database db;
    ASSERT_THAT(db.Open(report.target), Succeeded());
    EXPECT_THAT(db.FindTable("Jingles"), Succeeded());
    EXPECT_THAT(db.FindTable("Schedule"), Succeeded());
    EXPECT_THAT(db.FindIndex("Log", "Main"), Succeeded());
    // and nothing but the database is left in its directory
    db.Close();
    for (const auto& [name, bytes] : testing::FilesIn(station.dir / "DATA/SCHEDULE"))
        EXPECT_TRUE(name == "KORA26.MDB" || name == "KORA26.LDB") << name;
}

TEST_P(WindowsImportTest, UsersDatabaseComesOverValueForValue) {
    Station station;
    const std::vector<JetTable> tables = {
        TableOf(UsersTableLayout(), 30), TableOf(UserGroupsTableLayout(), 23),
        TableOf(UserHistoryTableLayout(), 400), TableOf(UserPreferencesTableLayout(), 50),
        TableOf(SettingsTableLayout(), 6)};
    const std::string source = station.dir / "USERS25.MDB";
    ASSERT_EQ(WriteJetFile(source, GetParam(), tables), "");

    WindowsImportReport report = ImportWindowsDatabase(station.ui, source, station.target);
    ASSERT_EQ(report.outcome, WindowsImportOutcome::Complete) << report.Text();
    EXPECT_EQ(report.kind, WindowsDatabaseKind::Users);
    EXPECT_EQ(report.target, station.target.usersDatabase);
    for (const JetTable& table : tables) ExpectSameRows(table, RowsOf(report.target, table.name));
    // The description a users database of ours has, made as for an older one.
    EXPECT_EQ(RowsOf(report.target, "Description").size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(BothVersions, WindowsImportTest,
                         ::testing::Values(JetVersion::Jet3, JetVersion::Jet4),
                         [](const auto& info) {
                             return info.param == JetVersion::Jet3 ? "Jet3" : "Jet4";
                         });

TEST(WindowsImport, LeavesOutAndReportsWhatOurFormatsDoNotHold) {
    Station station;
    JetTable log = TableOf(LogTableLayout(), 20);
    log.columns.emplace_back("Colour", FieldType::Long);
    log.columns.emplace_back("Price", testing::kJetMoney);
    for (JetRow& row : log.rows) {
        row.push_back(DbValue(7));
        row.push_back(DbValue(1.5));
    }
    // RDS_Text holds 128 characters here; the old file allowed 255.
    size_t rds = 0;
    while (LogTableLayout().fields[rds].name != "RDS_Text") ++rds;
    log.rows[3][rds] = DbValue(std::string(200, 'r'));
    JetTable extra{"Extras", {{"Anything", FieldType::Long}}, {{DbValue(1)}}, {}};
    const std::string source = station.dir / "KORA27.MDB";
    ASSERT_EQ(WriteJetFile(source, JetVersion::Jet4, {log, extra}), "");

    WindowsImportReport report = ImportWindowsDatabase(station.ui, source, station.target);
    ASSERT_EQ(report.outcome, WindowsImportOutcome::PartlyCopied) << report.Text();
    std::string text = report.Text();
    EXPECT_NE(text.find("Table Log: 20 rows read, 19 written"), std::string::npos) << text;
    EXPECT_NE(text.find("left out row 4, RDS_Text: The field is too small"), std::string::npos) << text;
    EXPECT_NE(text.find("Left out: table Extras"), std::string::npos) << text;
    EXPECT_NE(text.find("Left out: column Log.Colour (not a column of this table)"), std::string::npos);
    EXPECT_NE(text.find("Left out: column Log.Price"), std::string::npos) << text;

    // The rest came over; the known columns of the Log are all there and only those.
    JetTable known = log;
    for (JetRow& row : known.rows) row.resize(LogTableLayout().fields.size());
    known.columns.erase(known.columns.begin() + LogTableLayout().fields.size(), known.columns.end());
    ExpectSameRows(known, RowsOf(report.target, "Log"), {3});
    Database db;
    ASSERT_THAT(db.Open(report.target), Succeeded());
    EXPECT_FALSE(db.FindTable("Extras").Ok());
    EXPECT_FALSE(db.FindField("Log", "Colour").Ok());
}

// A Jet 4 playout database that can be bent into each kind of file that is refused.
std::string WriteSmallPlayout(const std::string& path) {
    return WriteJetFile(path, JetVersion::Jet4, {TableOf(LogTableLayout(), 300)});
}

TEST(WindowsImport, RefusesFilesThatAreNotJetDatabasesAndWritesNothing) {
    struct Case {
        const char* name;
        std::function<void(const std::string& path)> make;
        const char* reason;
    };
    auto bend = [](auto change) {
        return [change](const std::string& path) {
            ASSERT_EQ(WriteSmallPlayout(path), "");
            std::string bytes = testing::ReadWholeFile(path);
            change(bytes);
            std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
        };
    };
    const std::vector<Case> cases = {
        {"cut inside a page", bend([](std::string& b) { b.resize(b.size() - 1000); }), "truncated"},
        {"cut at a page boundary", bend([](std::string& b) { b.resize(b.size() - 4 * 4096); }),
         "damaged or truncated"},
        {"shorter than a page", bend([](std::string& b) { b.resize(300); }), "truncated"},
        {"a newer engine's file", bend([](std::string& b) { b.replace(4, 15, "Standard ACE DB"); b[0x14] = 2; }),
         ".accdb"},
        {"another format",
         [](const std::string& path) { std::ofstream(path) << "QIndex;Description1\n1;x\n"; },
         "not a database"},
        {"an empty file", [](const std::string& path) { std::ofstream{path}; }, "not a database"},
        {"neither kind",
         [](const std::string& path) {
             ASSERT_EQ(WriteJetFile(path, JetVersion::Jet3, {TableOf(SongsTableLayout(), 3)}), "");
         },
         "neither a playout database"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Station station;
        const std::string source = station.dir / "KORA26.MDB";
        c.make(source);
        WindowsImportReport report = ImportWindowsDatabase(station.ui, source, station.target);
        EXPECT_EQ(report.outcome, WindowsImportOutcome::NotADatabase);
        EXPECT_NE(report.reason.find(c.reason), std::string::npos) << report.reason;
        EXPECT_NE(report.Text().find(source), std::string::npos);
        EXPECT_NE(report.Text().find("Nothing was written"), std::string::npos);
        EXPECT_FALSE(fs::exists(station.dir / "DATA/SCHEDULE"));
        EXPECT_FALSE(fs::exists(station.target.usersDatabase));
    }
}

TEST(WindowsImport, ReplacesAnExistingDatabaseOnlyWhenAskedAndKeepsItsBackup) {
    Station station;
    const std::string source = station.dir / "KORA26.MDB";
    ASSERT_EQ(WriteSmallPlayout(source), "");
    fs::create_directories(station.dir / "DATA/SCHEDULE");
    // The station already has a database of that name (its spelling differs in case).
    const std::string existing = station.Schedule("Kora26.mdb");
    {
        Database db;
        ASSERT_THAT(db.Create(existing), Succeeded());
        ASSERT_THAT(db.Execute("CREATE TABLE Mine (Keep LONG)"), Succeeded());
    }
    const std::string before = testing::ReadWholeFile(existing);

    WindowsImportReport refused = ImportWindowsDatabase(station.ui, source, station.target);
    EXPECT_EQ(refused.outcome, WindowsImportOutcome::Refused);
    EXPECT_NE(refused.Text().find("already exists"), std::string::npos);
    EXPECT_EQ(testing::ReadWholeFile(existing), before);
    for (const auto& [name, bytes] : testing::FilesIn(station.dir / "DATA/SCHEDULE"))
        EXPECT_TRUE(name == "Kora26.mdb" || name == "Kora26.LDB") << name;

    station.target.replace = true;
    WindowsImportReport replaced = ImportWindowsDatabase(station.ui, source, station.target);
    ASSERT_EQ(replaced.outcome, WindowsImportOutcome::Complete) << replaced.Text();
    EXPECT_EQ(replaced.target, existing);
    EXPECT_EQ(replaced.backup, station.Schedule("Kora26-0001.BAK"));
    EXPECT_EQ(testing::ReadWholeFile(replaced.backup), before);
    EXPECT_EQ(RowsOf(existing, "Log").size(), 300u);
    EXPECT_NE(replaced.Text().find("kept as: " + replaced.backup), std::string::npos);
}

}  // namespace
}  // namespace vantor
