#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "common/problem_report.h"
#include "playoutdb/playout_fixture.h"
#include "dbengine/database_file.h"
#include "support/succeeded.h"

namespace vantor {
namespace {

using testing::MakePlayoutDatabase;
using testing::ReadWholeFile;
using testing::TempDir;
namespace fs = std::filesystem;

TEST(EnsureDatabaseFile, CreatesTheFileWithItsDescriptionRowOnce) {
    TempDir dir;
    ScriptedUserInterface ui;
    std::string path = dir / "KORA26.MDB";
    std::string description = "  Main studio  ";
    ASSERT_EQ(EnsureDatabaseFile(ui, path, 1, true, description), 0);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(description, "Main studio");

    Database db;
    ASSERT_THAT(db.Open(path), Succeeded());
    for (const char* field : {"Description", "Version", "Type"}) {
        EXPECT_THAT(db.FindField("Description", field), Succeeded()) << field;
    }
    TableCursor rows;
    ASSERT_THAT(db.OpenTable("Description", rows), Succeeded());
    EXPECT_EQ(rows.Field("Description"), DbValue("Main studio"));
    EXPECT_EQ(rows.Field("Version"), DbValue(2.6f));
    EXPECT_EQ(rows.Field("Type"), DbValue(1));
    rows.Close();
    db.Close();

    std::string again;
    EXPECT_EQ(EnsureDatabaseFile(ui, path, 4, false, again), 0);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(ui.inputBoxes.empty());
    ASSERT_THAT(db.Open(path), Succeeded());
    long long count = 0;
    ASSERT_THAT(db.OpenTable("Description", rows), Succeeded());
    ASSERT_THAT(rows.RecordCount(count), Succeeded());
    EXPECT_EQ(count, 1);
    EXPECT_EQ(rows.Field("Type"), DbValue(1));
}

TEST(EnsureDatabaseFile, TitleFitsTheDescriptionFieldOfAnExistingTable) {
    struct Case {
        const char* what;
        FieldDef field;
        std::string title;
        std::string stored;
    };
    const Case cases[] = {
        {"narrow text field cuts",
         {"Description", FieldType::Text, 10},
         "Main studio one",
         "Main studi"},
        {"memo field takes it whole",
         {"Description", FieldType::Memo},
         std::string(300, 'M'),
         std::string(300, 'M')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        std::string path = dir / "OTHER.MDB";
        {
            Database db;
            ASSERT_THAT(db.Create(path), Succeeded());
            ASSERT_THAT(db.CreateTable("dbo.Description", std::span<const FieldDef>(&c.field, 1)),
                        Succeeded());
        }
        ScriptedUserInterface ui;
        std::string description = c.title;
        ASSERT_EQ(EnsureDatabaseFile(ui, path, 1, true, description), 0);
        EXPECT_EQ(description, c.stored);
        DatabaseInfo info;
        ASSERT_THAT(ReadDatabaseInfo(ui, path, info, true), Succeeded());
        EXPECT_EQ(info.Description, c.stored);
        EXPECT_EQ(info.Type, 1);
        EXPECT_TRUE(ui.messages.empty());
    }
}

TEST(EnsureDatabaseFile, AsksBeforeCreatingAndForATitle) {
    TempDir dir;
    ScriptedUserInterface ui;
    std::string path = dir / "NEWONE.MDB";
    std::string description;
    ui.messageAnswers.push_back(MessageResult::No);
    EXPECT_EQ(EnsureDatabaseFile(ui, path, 1, false, description), -1);
    EXPECT_TRUE(
        ui.Showed("The database " + path + " does not exist. Would you like to create it?"));
    EXPECT_FALSE(fs::exists(path));

    // An empty file is replaced by a database; an empty title becomes the stand-in title.
    dir.WriteFile("NEWONE.MDB", "");
    ui.Clear();
    ui.messageAnswers.push_back(MessageResult::Yes);
    ui.inputAnswers.push_back(InputBoxResult{false, "   "});
    EXPECT_EQ(EnsureDatabaseFile(ui, path, 7, false, description), 0);
    ASSERT_EQ(ui.inputBoxes.size(), 1u);
    EXPECT_EQ(ui.inputBoxes[0].prompt, "Please enter a suitable description for this database");
    EXPECT_EQ(ui.inputBoxes[0].defaultText, "NEWONE");
    EXPECT_EQ(description, "You have to have a title!");
    DatabaseInfo info;
    ASSERT_THAT(ReadDatabaseInfo(ui, path, info, true), Succeeded());
    EXPECT_EQ(info.Description, "You have to have a title!");
    EXPECT_EQ(info.Version, 0.0f);  // no version for this kind of database
}

// A database name that leads to a device or a pipe is not an empty file to be made afresh:
// it is left where it is, and the report says what it is.
TEST(EnsureDatabaseFile, NeverDeletesWhatIsNotARegularFile) {
    TempDir dir;
    const std::string pipe = dir / "PIPE.MDB";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", dir / "ZERO.MDB");
    fs::create_symlink(pipe, dir / "TOPIPE.MDB");
    const struct {
        std::string path;
        fs::file_type type;
        std::string kind;
    } cases[] = {
        {dir / "ZERO.MDB", fs::file_type::symlink, "a device"},
        {pipe, fs::file_type::fifo, "a FIFO (a named pipe)"},
        {dir / "TOPIPE.MDB", fs::file_type::symlink, "a FIFO (a named pipe)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        ScriptedUserInterface ui;
        std::string description = "Studio";
        EXPECT_NE(EnsureDatabaseFile(ui, c.path, 14, true, description), 0);
        EXPECT_EQ(fs::symlink_status(c.path).type(), c.type);
        EXPECT_EQ(ui.MessageTexts(),
                  std::vector<std::string>{"There was a problem opening the database " + c.path +
                                           " and the error's description was reported as : "
                                           "\n\n\"'" +
                                           c.path + "' is not a database file: it is " + c.kind +
                                           ".\" (3000)"});
        DatabaseInfo info;
        EXPECT_EQ(ReadDatabaseInfo(ui, c.path, info, false).number, 3000);
    }
}

TEST(ReadDatabaseInfo, FillsTheDescriptionOfAFile) {
    TempDir dir;
    std::string path = MakePlayoutDatabase(dir);
    ScriptedUserInterface ui;
    DatabaseInfo info;
    ASSERT_THAT(ReadDatabaseInfo(ui, path, info, true), Succeeded());
    EXPECT_EQ(info.Path, path);
    EXPECT_EQ(info.FileName, "KORA26.MDB");
    EXPECT_EQ(info.Directory, dir.path());
    EXPECT_EQ(info.Description, "Test station");
    EXPECT_EQ(info.Version, 2.6f);
    EXPECT_EQ(info.Type, 1);
    EXPECT_FALSE(info.EngineVersion.empty());
    EXPECT_TRUE(ui.messages.empty());
}

TEST(ReadDatabaseInfo, HoursFilesEmptyTablesAndNonDatabases) {
    TempDir dir;
    ScriptedUserInterface ui;
    DatabaseInfo info;
    std::string hours = dir.WriteFile("hours.mdb", "not opened");
    EXPECT_THAT(ReadDatabaseInfo(ui, hours, info, true), ::testing::Not(Succeeded()));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ReadWholeFile(hours), "not opened");

    Database db;
    std::string empty = dir / "EMPTY.MDB";
    ASSERT_THAT(db.Create(empty), Succeeded());
    FieldDef title{"Description", FieldType::Text};
    ASSERT_THAT(db.CreateTable("Description", std::span<const FieldDef>(&title, 1)), Succeeded());
    db.Close();
    EXPECT_THAT(ReadDatabaseInfo(ui, empty, info, true), Succeeded());
    EXPECT_TRUE(
        ui.Showed("There was no Description information in the database.\n"
                  "Please contact Tressel Ltd."));
    EXPECT_EQ(info.FileName, "EMPTY.MDB");
    EXPECT_EQ(info.Description, "");

    // Not a database: the repair by compacting fails quietly and the file stays as it was.
    ui.Clear();
    std::string junk = dir.WriteFile("JUNK.MDB", "just some text, not a database");
    EXPECT_EQ(ReadDatabaseInfo(ui, junk, info, false).number, 3343);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ReadWholeFile(junk), "just some text, not a database");
    EXPECT_FALSE(fs::exists(dir / "JUNK-0001.BAK"));
    EXPECT_EQ(ReadDatabaseInfo(ui, junk, info, true).number, 3343);
    EXPECT_TRUE(ui.messages.back().request.text.ends_with("(3343)"));
}

class SettingsRowsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = MakePlayoutDatabase(dir_);
        ASSERT_THAT(db_.Open(path_), Succeeded());
        ASSERT_THAT(db_.OpenTable("Settings", settings_, "Main"), Succeeded());
    }

    DbValue Stored(const std::string& key) {
        TableCursor check;
        EXPECT_THAT(db_.OpenTable("Settings", check, "Main"), Succeeded());
        EXPECT_THAT(check.Seek("=", key), Succeeded());
        return check.NoMatch() ? DbValue() : check.Field("Value");
    }

    TempDir dir_;
    std::string path_;
    Database db_;
    TableCursor settings_;
    ScriptedUserInterface ui_;
};

TEST_F(SettingsRowsTest, GetReturnsTheStoredTextOrTheDefault) {
    ASSERT_THAT(SetDbSetting(ui_, settings_, "KORA.MaxFadeTime", 7, 0, false), Succeeded());
    EXPECT_EQ(GetDbSetting(settings_, "KORA.MaxFadeTime", 0), DbValue("7"));
    EXPECT_EQ(GetDbSetting(settings_, "kora.maxfadetime", 0), DbValue("7"));
    EXPECT_EQ(GetDbSetting(settings_, "KORA.Missing", "dflt"), DbValue("dflt"));
}

TEST_F(SettingsRowsTest, SetStoresTextAndRemovesTheRowForTheDefault) {
    ASSERT_THAT(SetDbSetting(ui_, settings_, "KORA.PreCueTime", 25, 20, false), Succeeded());
    EXPECT_EQ(Stored("KORA.PreCueTime"), DbValue("25"));
    ASSERT_THAT(SetDbSetting(ui_, settings_, "KORA.PreCueTime", 30, 20, false), Succeeded());
    EXPECT_EQ(Stored("KORA.PreCueTime"), DbValue("30"));
    ASSERT_THAT(SetDbSetting(ui_, settings_, "KORA.PreCueTime", 20, 20, false), Succeeded());
    EXPECT_TRUE(Stored("KORA.PreCueTime").IsNull());
    ASSERT_THAT(SetDbSetting(ui_, settings_, "KORA.PreCueTime", 20, 20, false),
                Succeeded());  // no row
    EXPECT_TRUE(ui_.messages.empty());

    // Keys longer than the Item field are cut before they are stored or looked up.
    std::string longKey(300, 'K');
    ASSERT_THAT(SetDbSetting(ui_, settings_, longKey, "v", "", false), Succeeded());
    EXPECT_EQ(Stored(std::string(250, 'K')), DbValue("v"));
    EXPECT_EQ(GetDbSetting(settings_, longKey, ""), DbValue("v"));
}

TEST(VariantEquals, FollowsTheRuntimesComparison) {
    struct Case {
        DbValue a, b;
        bool equal;
    };
    const Case cases[] = {
        {20, 20, true},
        {20, 20.0, true},
        {"20", 20, true},
        {20, " 20 ", true},
        {0, "", false},
        {"", 0, false},
        {"abc", 0, false},
        {"Arial", "Arial", true},
        {"Arial", "arial", false},
        {DbValue(), DbValue(), false},
        {DbValue(), 0, false},
        {true, -1, true},
        {4.0f, "4", true},
        {"", "", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(VariantEquals(c.a, c.b), c.equal) << DebugText(c.a) << " = " << DebugText(c.b);
    }
}

TEST(CompactDatabaseFile, KeepsEveryOldVersionAsANumberedBackup) {
    TempDir dir;
    std::string path = MakePlayoutDatabase(dir);
    {
        Database db;
        ASSERT_THAT(db.Open(path), Succeeded());
        ASSERT_THAT(
            db.Execute("INSERT INTO Log (QIndex, Description1) VALUES (?, ?)", {1.5, "kept"}),
            Succeeded());
    }
    ScriptedUserInterface ui;
    ui.messageAnswers = {MessageResult::Yes, MessageResult::Ok};
    ASSERT_TRUE(CompactDatabaseFile(ui, path, false, "", false));
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].request.title, "Compact/Repair Database");
    EXPECT_EQ(ui.messages[0].request.defaultButton, MessageResult::No);
    EXPECT_TRUE(ui.messages[0].request.text.ends_with(
        "Are you sure you want to continue compacting/repairing:\n\n\t" + path));
    EXPECT_EQ(ui.messages[1].request.text,
              "Your Database has been successfully Compacted/Repaired and the old version saved "
              "in a new file with a '.BAK' extension");
    ASSERT_TRUE(CompactDatabaseFile(ui, path, false, "", true));
    EXPECT_TRUE(fs::exists(dir / "KORA26-0001.BAK"));
    EXPECT_TRUE(fs::exists(dir / "KORA26-0002.BAK"));

    Database db;
    ASSERT_THAT(db.Open(path), Succeeded());
    TableCursor log;
    ASSERT_THAT(db.OpenTable("Log", log, "Main"), Succeeded());
    ASSERT_THAT(log.Seek("=", 1.5), Succeeded());
    ASSERT_FALSE(log.NoMatch());
    EXPECT_EQ(log.Field("Description1"), DbValue("kept"));

    // Declining, and a file still open elsewhere, leave everything as it was.
    ui.Clear();
    ui.messageAnswers = {MessageResult::No};
    EXPECT_FALSE(CompactDatabaseFile(ui, path, false, "", false));
    EXPECT_FALSE(CompactDatabaseFile(ui, path, false, "", true));
    EXPECT_FALSE(fs::exists(dir / "KORA26-0003.BAK"));
    EXPECT_FALSE(CompactDatabaseFile(ui, "", false, "", true));  // no file and no dialog
}

TEST(EditDatabaseDescription, StoresTheBeginningOfALongTitle) {
    TempDir dir;
    std::string path = MakePlayoutDatabase(dir);
    ScriptedUserInterface ui;
    EXPECT_FALSE(EditDatabaseDescription(ui, path, ""));
    EXPECT_FALSE(EditDatabaseDescription(ui, dir / "MISSING.MDB", "Title"));
    std::string title(300, 'T');
    ASSERT_TRUE(EditDatabaseDescription(ui, path, title));
    DatabaseInfo info;
    ASSERT_THAT(ReadDatabaseInfo(ui, path, info, true), Succeeded());
    EXPECT_EQ(info.Description, std::string(255, 'T'));
    EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace vantor
