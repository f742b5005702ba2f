#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "playoutdb/playout_tables.h"
#include "support/cursor_walk.h"
#include "support/succeeded.h"
#include "common/problem_report.h"
#include "playout_fixture.h"
#include "playoutdb/log_table.h"

namespace vantor {
namespace {

using testing::MakePlayoutDatabase;
using testing::ReadWholeFile;
using testing::TempDir;

const TableLayout* const kPlayoutTables[] = {&LogTableLayout(), &SettingsTableLayout(),
                                             &SongsTableLayout(), &JinglesTableLayout(),
                                             &ScheduleTableLayout()};

// Every statement that defines the file's tables and indexes, in a stable order.
std::string SchemaOf(Database& db) {
    QueryResult rows;
    EXPECT_THAT(db.Query("SELECT sql FROM sqlite_master ORDER BY name", {}, rows), Succeeded());
    std::string schema;
    for (bool ok = true; ok && !rows.Eof(); ok = testing::Next(rows)) schema += rows.Field(0).AsText() + ";\n";
    return schema;
}

TEST(Schema, LayoutsHoldTheTablesAsTheStationsKnowThem) {
    EXPECT_EQ(LogTableLayout().fields.size(), 44u);
    EXPECT_EQ(SongsTableLayout().fields.size(), 37u);
    EXPECT_EQ(JinglesTableLayout().fields.size(), 38u);
    EXPECT_EQ(SongsTableLayout().fields[17].name, "HourRestrictions1");
    EXPECT_EQ(SongsTableLayout().fields[24].name, "Year");
    EXPECT_EQ(JinglesTableLayout().fields[7].size, 12);  // HDReference is narrow in Jingles
    EXPECT_EQ(SongsTableLayout().fields[11].size, 0);
    EXPECT_EQ(LogTableLayout().fields[40].name, "RDS_Text");
    EXPECT_EQ(LogTableLayout().fields[40].size, 128);
}

TEST(Schema, NewDatabaseGetsEveryTableFieldAndIndexAndASecondRunChangesNothing) {
    TempDir dir;
    std::string path = MakePlayoutDatabase(dir);
    Database db;
    ASSERT_THAT(db.Open(path), Succeeded());
    for (const TableLayout* layout : kPlayoutTables) {
        SCOPED_TRACE(layout->name);
        std::vector<FieldDef> fields;
        ASSERT_THAT(db.GetFields(layout->name, fields), Succeeded());
        ASSERT_EQ(fields.size(), layout->fields.size());
        for (size_t i = 0; i < fields.size(); ++i) {
            EXPECT_EQ(fields[i].name, layout->fields[i].name);
            EXPECT_EQ(fields[i].type, layout->fields[i].type);
            EXPECT_EQ(fields[i].size, layout->fields[i].size);
        }
        for (size_t i = 0; i < layout->indexes.size(); ++i) {
            IndexDef index;
            ASSERT_THAT(db.FindIndex(layout->name, layout->indexes[i].name, &index), Succeeded());
            EXPECT_EQ(index.fields, layout->indexes[i].fields);
            EXPECT_EQ(index.primary, i == 0);
        }
    }
    std::string before = SchemaOf(db);
    db.Close();

    ScriptedUserInterface ui;
    EXPECT_THAT(VerifyPlayoutDatabase(ui, path), Succeeded());
    // A stored location may spell the file's name in other letter case.
    EXPECT_THAT(VerifyPlayoutDatabase(ui, dir / "kora26.mdb"), Succeeded());
    EXPECT_TRUE(ui.messages.empty());
    ASSERT_THAT(db.Open(path), Succeeded());
    EXPECT_EQ(SchemaOf(db), before);
}

TEST(Schema, ExistingTableKeepsItsRowsAndExtraFieldWhenMissingPartsAreAdded) {
    TempDir dir;
    std::string path = dir / "OLD.MDB";
    Database db;
    ASSERT_THAT(db.Create(path), Succeeded());
    std::vector<FieldDef> old = {{"SongNumber", FieldType::Long},
                                 {"SongTitle", FieldType::Text, 50},
                                 {"HDReference", FieldType::Text},
                                 {"StationOwn", FieldType::Text, 10}};
    ASSERT_THAT(db.CreateTable("Songs", old), Succeeded());
    ASSERT_THAT(db.AddIndex("Songs", {"Main", {"SongNumber"}, true, true}), Succeeded());
    ASSERT_THAT(db.Execute("INSERT INTO Songs (SongNumber, SongTitle, StationOwn) VALUES (?, ?, ?)",
                           {7, "Song Seven", "kept"}),
                Succeeded());

    ScriptedUserInterface ui;
    EXPECT_THAT(EnsureSongsTable(ui, db), Succeeded());
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_THAT(db.FindField("Songs", "Styles"), Succeeded());
    EXPECT_THAT(db.FindField("Songs", "StationOwn"), Succeeded());
    EXPECT_THAT(db.FindIndex("Songs", "HDReference"), Succeeded());
    EXPECT_THAT(db.FindIndex("Songs", "MIT"), Succeeded());
    TableCursor songs;
    ASSERT_THAT(db.OpenTable("Songs", songs, "Main"), Succeeded());
    ASSERT_THAT(songs.Seek("=", 7), Succeeded());
    ASSERT_FALSE(songs.NoMatch());
    EXPECT_EQ(songs.Field("SongTitle"), DbValue("Song Seven"));
    EXPECT_EQ(songs.Field("StationOwn"), DbValue("kept"));
    EXPECT_EQ(songs.Field("Styles"), DbValue());
}

TEST(Schema, IndexThatCannotBeAddedIsReportedAndTheTableStillPasses) {
    TempDir dir;
    Database db;
    ASSERT_THAT(db.Create(dir / "DUP.MDB"), Succeeded());
    FieldDef item{"Item", FieldType::Text};
    FieldDef q{"QIndex", FieldType::Double};
    ASSERT_THAT(db.CreateTable("Settings", std::span<const FieldDef>(&item, 1)), Succeeded());
    ASSERT_THAT(db.CreateTable("Log", std::span<const FieldDef>(&q, 1)), Succeeded());
    for (const char* sql :
         {"INSERT INTO Settings (Item) VALUES ('A')", "INSERT INTO Settings (Item) VALUES ('a')",
          "INSERT INTO Log (QIndex) VALUES (1.5)", "INSERT INTO Log (QIndex) VALUES (1.5)"}) {
        ASSERT_THAT(db.Execute(sql), Succeeded());
    }
    ScriptedUserInterface ui;
    EXPECT_THAT(EnsureSettingsTable(ui, db), Succeeded());
    EXPECT_THAT(EnsureLogTable(ui, db), Succeeded());
    std::string tail = " and the error's description was reported as : \n\n\"" +
                       StandardErrorMessage(3022) + "\" (3022)";
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].request.text,
              "There was a problem adding the index 'Main' to the Settings table" + tail);
    EXPECT_EQ(ui.messages[1].request.text,
              "There was a problem adding the index Main to the Log table" + tail);
    EXPECT_THAT(db.FindField("Log", "AutoFadeLength"), Succeeded());  // the fields were still added
}

TEST(Schema, DatabaseThatCannotBeOpenedIsReportedWithTheEngineNumber) {
    TempDir dir;
    ScriptedUserInterface ui;
    EXPECT_EQ(VerifyPlayoutDatabase(ui, dir / "MISSING.MDB").number, 3024);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].request.text.starts_with(
        "There was a problem opening the database and the error's description"));
    EXPECT_TRUE(ui.messages[0].request.text.ends_with("(3024)"));
}

// Another program holding the write lock through the whole busy timeout: the check says so
// at the first table instead of going on unchecked, waiting the timeout out at every table.
TEST(Schema, ACheckThatCannotTakeTheWriteLockIsReportedOnce) {
    TempDir dir;
    std::string path = MakePlayoutDatabase(dir);
    Database other;
    ASSERT_THAT(other.Open(path), Succeeded());
    ASSERT_THAT(other.BeginTrans(), Succeeded());
    ScriptedUserInterface ui;
    const DbError result = VerifyPlayoutDatabase(ui, path);
    ASSERT_THAT(other.Rollback(), Succeeded());
    EXPECT_FALSE(result.Ok());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].request.text.starts_with("There was a problem checking the "))
        << ui.messages[0].request.text;
}

// What another program sees: the sqlite3 command-line tool reads the file and lists the
// tables and columns by their names.
TEST(Schema, DatabaseOpensInTheSqliteCommandLineTool) {
    if (std::system("command -v sqlite3 > /dev/null 2>&1") != 0) {
        GTEST_SKIP() << "the sqlite3 tool is not installed";
    }
    TempDir dir;
    std::string path = MakePlayoutDatabase(dir);
    std::string output = dir / "tables.txt";
    std::string command =
        "sqlite3 -readonly '" + path +
        "' \"SELECT m.name || '.' || p.name || ' ' || p.type FROM sqlite_master m, "
        "pragma_table_info(m.name) p WHERE m.type = 'table' ORDER BY m.name, p.cid;\" > '" +
        output + "' 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadWholeFile(output);
    std::string listing = ReadWholeFile(output);
    for (const char* line :
         {"Description.Description TEXT", "Description.Version SINGLE", "Description.Type LONG",
          "Log.QIndex DOUBLE", "Log.EndingType SHORT", "Log.Notes MEMO TEXT",
          "Log.RDS_Text TEXT(128)", "Log.AutoFadeLength SINGLE", "Settings.Item TEXT",
          "Settings.Value MEMO TEXT", "Songs.Styles TEXT(64)", "Jingles.IsSweeper BOOLEAN",
          "Jingles.StartDate DATETIME", "Schedule.HourReference TEXT(8)"}) {
        EXPECT_NE(listing.find(std::string(line) + "\n"), std::string::npos) << line;
    }
    std::string indexes = dir / "indexes.txt";
    command = "sqlite3 -readonly '" + path +
              "' \"SELECT name FROM sqlite_master WHERE type = 'index' ORDER BY name;\" > '" +
              indexes + "' 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(ReadWholeFile(indexes),
              "Jingles.HDReference\nJingles.MIT\nJingles.Main\nLog.Main\nSchedule.Main\n"
              "Settings.Main\nSongs.HDReference\nSongs.MIT\nSongs.Main\n");
}

}  // namespace
}  // namespace vantor
