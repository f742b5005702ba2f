// The database chooser's model on real database files in a temporary directory.

#include "dbmanage/database_chooser_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>

#include "common/problem_report.h"
#include "common/text.h"
#include "dbengine/database_file.h"
#include "dbengine/engine.h"
#include "support/held_open_elsewhere.h"
#include "support/scoped_env.h"
#include "support/jet_writer.h"
#include "support/scripted_user_interface.h"
#include "support/temp_dir.h"
#include "support/test_server.h"
#include "support/succeeded.h"

namespace vantor {
namespace {

using testing::HeldOpenElsewhere;
using testing::ScopedEnv;
using testing::TempDir;
namespace fs = std::filesystem;

// A name no file system takes (300 bytes), and the longest one the chooser takes.
const std::string kTooLongName(300, 'A');
const char* const kTooLong = kTooLongName.c_str();
std::string LongestName() {
    std::string name;
    for (int i = 0; i < 48; ++i) name += "\u00c4";
    return name;
}
const std::string kLongestName = LongestName();
const std::string kLongestFile = kLongestName + ".MDB";

InputBoxResult Typed(const std::string& text) {
    return InputBoxResult{false, text};
}

// The names of the database files in a directory, in name order.
std::vector<std::string> DatabaseFiles(const std::string& directory) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory)) {
        std::string name = entry.path().filename().string();
        if (name.size() > 4 && EqualsNoCase(name.substr(name.size() - 4), ".MDB"))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

class DatabaseChooserTest : public ::testing::Test {
  protected:
    DatabaseChooserTest() {
        fs::create_directories(schedule_);
        fs::create_directories(windows_);
    }

    // A database of the given kind with its description row, as the file layer creates it.
    std::string MakeDatabase(const std::string& fileName, int32_t type,
                             const std::string& description) {
        std::string path = schedule_ + "/" + fileName;
        ScriptedUserInterface quiet;
        // An empty description would be asked for: the answer is one of blanks, kept as such.
        std::string title = description;
        if (title.empty()) quiet.inputAnswers.push_back(Typed(""));
        EXPECT_EQ(EnsureDatabaseFile(quiet, path, type, true, title), 0);
        if (description.empty()) {
            Database db;
            EXPECT_THAT(db.Open(path), Succeeded());
            EXPECT_THAT(db.Execute("UPDATE Description SET Description = ''"), Succeeded());
        }
        return path;
    }

    // A chooser of Kora v2.6 databases on the SCHEDULE directory, shown (first activation).
    void Show(DatabaseChooserModel& chooser, bool canEdit = true,
              int32_t type = kKoraV26DatabaseType) {
        chooser.SetSearchDirectory(schedule_);
        chooser.SetDatabaseType(type);
        chooser.SetCanEdit(canEdit);
        chooser.Activate();
    }

    static std::vector<std::string> Texts(const DatabaseChooserModel& chooser) {
        std::vector<std::string> texts;
        for (const ChooserItem& item : chooser.Items()) texts.push_back(item.text);
        return texts;
    }

    TempDir dir_;
    std::string schedule_ = dir_ / "SCHEDULE";
    std::string windows_ = dir_ / "windows";
    ScopedEnv windir_{"VANTOR_WINDIR", windows_};
    ScriptedUserInterface ui_;
};

TEST(DatabaseTypes, NumbersGiveTagWordsAndLabels) {
    struct Case {
        int32_t number;
        const char* tagWord;
        const char* label;
    };
    const Case cases[] = {
        {1, "rotaplan", "Rotaplan Database"}, {2, "adverts", "Adverts Database"},
        {4, "kora", "Kora Database"},         {11, "rotaplanv3", "Rotaplan v3 Database"},
        {14, "kora", "Kora V2.6 Database"},   {19, "legacy", "Quillon v3 Database"},
        {7, "", "Invalid Database 7"},
    };
    for (const Case& c : cases) {
        DatabaseTypeInfo info = DescribeDatabaseType(c.number);
        EXPECT_EQ(info.tagWord, c.tagWord) << c.number;
        EXPECT_EQ(info.label, c.label) << c.number;
        EXPECT_EQ(info.keepsLastAccessed, c.number == 11 || c.number == 19) << c.number;
    }
    EXPECT_EQ(DatabaseTypeFromTag("14"), 14);
    EXPECT_EQ(DatabaseTypeFromTag(" 2"), 2);
    EXPECT_EQ(DatabaseTypeFromTag("kora"), 0);
}

TEST_F(DatabaseChooserTest, ListsExactlyTheDatabasesOfItsKind) {
    MakeDatabase("KORA26.MDB", 14, "Main studio");
    MakeDatabase("studio2.mdb", 14, "");  // lower-case name, no description
    MakeDatabase("ADVERTS.MDB", 2, "Adverts");
    MakeDatabase("OLDKORA.MDB", 4, "Old playout");
    {
        Database plain;  // a database without description information
        ASSERT_THAT(plain.Create(schedule_ + "/PLAIN.MDB"), Succeeded());
        ASSERT_THAT(plain.Execute("CREATE TABLE Description (Description TEXT, Type LONG)"),
                    Succeeded());
    }
    {
        Database noType;
        ASSERT_THAT(noType.Create(schedule_ + "/NOTYPE.MDB"), Succeeded());
        ASSERT_THAT(noType.Execute("CREATE TABLE Description (Description TEXT, Type LONG)"),
                    Succeeded());
        ASSERT_THAT(noType.Execute("INSERT INTO Description (Description) VALUES ('x')"),
                    Succeeded());
    }
    dir_.WriteFile("SCHEDULE/notes.txt", "not a database");

    DatabaseChooserModel chooser(ui_);
    Show(chooser);
    EXPECT_TRUE(chooser.IsVisible());
    EXPECT_EQ(chooser.Caption(), "Select Kora V2.6 Database");
    ASSERT_EQ(chooser.Items().size(), 2u);
    const ChooserItem& first = chooser.Items()[0];
    EXPECT_EQ(first.text, "Main studio");
    EXPECT_EQ(first.key, "dKORA26");
    EXPECT_EQ(first.fileName, "KORA26");
    EXPECT_EQ(first.icon, "kora");
    EXPECT_EQ(first.lastAccessed, "");
    const ChooserItem& second = chooser.Items()[1];
    EXPECT_EQ(second.text, "studio2");  // listed under its file name
    EXPECT_EQ(second.Name(), "studio2");
    EXPECT_FALSE(chooser.LastAccessedShown());

    EXPECT_EQ(chooser.SelectedIndex(), 0);
    EXPECT_EQ(chooser.ChosenDatabaseDescription(), "Main studio");
    EXPECT_TRUE(chooser.OkEnabled());
    EXPECT_TRUE(chooser.OptionsEnabled());
    EXPECT_TRUE(chooser.ItemOperationsEnabled());
    EXPECT_TRUE(ui_.messages.empty()) << ui_.MessageTexts().front();

    // The other kind sees only its own.
    DatabaseChooserModel adverts(ui_);
    Show(adverts, true, kAdvertsDatabaseType);
    EXPECT_EQ(Texts(adverts), std::vector<std::string>{"Adverts"});
    EXPECT_EQ(adverts.Caption(), "Select Adverts Database");
}

TEST_F(DatabaseChooserTest, ChoosingGivesTheFileNameAndDescription) {
    MakeDatabase("KORA26.MDB", 14, "Main studio");
    MakeDatabase("studio2.mdb", 14, "Second studio");
    DatabaseChooserModel chooser(ui_);
    Show(chooser);
    chooser.ItemClicked(1);
    EXPECT_EQ(chooser.ChosenDatabaseDescription(), "Second studio");
    chooser.OK();
    EXPECT_FALSE(chooser.IsVisible());
    EXPECT_EQ(chooser.ChosenFileName(), "studio2.MDB");
    EXPECT_EQ(chooser.ChosenDatabaseDescription(), "Second studio");

    // Shown again, it starts afresh; a double-click chooses at once.
    Show(chooser);
    EXPECT_TRUE(chooser.IsVisible());
    EXPECT_EQ(chooser.ChosenFileName(), "");
    chooser.ItemDoubleClicked(0);
    EXPECT_FALSE(chooser.IsVisible());
    EXPECT_EQ(chooser.ChosenFileName(), "KORA26.MDB");

    Show(chooser);
    chooser.Cancel();
    EXPECT_FALSE(chooser.IsVisible());
    EXPECT_EQ(chooser.ChosenFileName(), "");
}

TEST_F(DatabaseChooserTest, ADirectoryWithoutDatabasesOfTheKindLeavesOnlyCancelAndCreate) {
    MakeDatabase("ADVERTS.MDB", 2, "Adverts");
    DatabaseChooserModel chooser(ui_);
    Show(chooser);
    EXPECT_TRUE(chooser.Items().empty());
    EXPECT_EQ(chooser.SelectedIndex(), -1);
    EXPECT_FALSE(chooser.OkEnabled());
    EXPECT_FALSE(chooser.ItemOperationsEnabled());
    EXPECT_TRUE(chooser.OptionsEnabled());
    EXPECT_TRUE(chooser.CreateEnabled());
    EXPECT_TRUE(chooser.CancelEnabled());
    chooser.OK();  // nothing to choose
    EXPECT_TRUE(chooser.IsVisible());
    chooser.Cancel();
    EXPECT_FALSE(chooser.IsVisible());
    EXPECT_EQ(chooser.ChosenFileName(), "");
}

TEST_F(DatabaseChooserTest, AUserWhoMayNotEditGetsTheOnlyDatabaseAtOnce) {
    MakeDatabase("KORA26.MDB", 14, "Main studio");
    DatabaseChooserModel readOnly(ui_);
    Show(readOnly, false);
    EXPECT_FALSE(readOnly.IsVisible());
    EXPECT_EQ(readOnly.ChosenFileName(), "KORA26.MDB");
    EXPECT_FALSE(readOnly.OptionsEnabled());

    // A manager still sees the window, and so does a user with two to choose from.
    DatabaseChooserModel manager(ui_);
    Show(manager, true);
    EXPECT_TRUE(manager.IsVisible());
    MakeDatabase("STUDIO2.MDB", 14, "Second studio");
    DatabaseChooserModel twoOfThem(ui_);
    Show(twoOfThem, false);
    EXPECT_TRUE(twoOfThem.IsVisible());
    EXPECT_FALSE(twoOfThem.OptionsEnabled());
    twoOfThem.CreateNewDatabase();  // the menu is off: nothing is asked
    EXPECT_TRUE(ui_.inputBoxes.empty());
}

TEST_F(DatabaseChooserTest, FilesThatCannotBeReadAreReportedOnceOrOfferedForRepair) {
    MakeDatabase("KORA26.MDB", 14, "Main studio");
    dir_.WriteFile("SCHEDULE/BROKEN.MDB", std::string(2048, 'x'));
    // A database whose journal cannot be opened: the engine cannot read it.
    std::string jammed = MakeDatabase("JAMMED.MDB", 14, "Jammed");
    fs::create_directory(jammed + "-wal");

    ui_.messageAnswers = {MessageResult::No};  // no repair of BROKEN.MDB
    DatabaseChooserModel chooser(ui_);
    Show(chooser);
    EXPECT_EQ(Texts(chooser), std::vector<std::string>{"Main studio"});
    ASSERT_EQ(ui_.messages.size(), 2u) << ::testing::PrintToString(ui_.MessageTexts());
    EXPECT_NE(ui_.messages[0].request.text.find("Compact/Repair it!"), std::string::npos);
    EXPECT_NE(ui_.messages[0].request.text.find("BROKEN.MDB"), std::string::npos);
    EXPECT_EQ(ui_.messages[1].request.icon, MessageIcon::Warning);
    EXPECT_EQ(ui_.messages[1].request.text.rfind(
                  "There was a problem getting the information from  : " + jammed, 0),
              0u)
        << ui_.messages[1].request.text;
}

TEST_F(DatabaseChooserTest, KindsThatRecordTheirLastUseShowIt) {
    std::string used = MakeDatabase("PLAN.MDB", 11, "Weekday plan");
    MakeDatabase("NEVER.MDB", 11, "Never used");
    {
        Database db;
        ASSERT_THAT(db.Open(used), Succeeded());
        ASSERT_THAT(db.AddField("Description", {"LastAccessed", FieldType::Text, 50}), Succeeded());
        ASSERT_THAT(db.Execute("UPDATE Description SET LastAccessed = '07/03/2000 14:22'"),
                    Succeeded());
    }
    DatabaseChooserModel chooser(ui_);
    Show(chooser, true, 11);
    EXPECT_TRUE(chooser.LastAccessedShown());
    ASSERT_EQ(chooser.Items().size(), 2u);
    EXPECT_EQ(chooser.Items()[0].lastAccessed, DatabaseChooserModel::kNotKnown);  // NEVER
    EXPECT_EQ(chooser.Items()[1].lastAccessed, "07/03/2000 14:22");
    EXPECT_EQ(chooser.Items()[1].icon, "rotaplanv3");
}

TEST_F(DatabaseChooserTest, AColumnSortsAndASecondClickReverses) {
    MakeDatabase("B.MDB", 14, "alpha");
    MakeDatabase("A.MDB", 14, "Charlie");
    MakeDatabase("C.MDB", 14, "bravo");
    DatabaseChooserModel chooser(ui_);
    Show(chooser);
    EXPECT_EQ(Texts(chooser), (std::vector<std::string>{"Charlie", "alpha", "bravo"}));
    chooser.ItemClicked(2);  // bravo

    chooser.ColumnClicked(ChooserColumn::Description);
    EXPECT_EQ(Texts(chooser), (std::vector<std::string>{"alpha", "bravo", "Charlie"}));
    EXPECT_EQ(chooser.Items()[chooser.SelectedIndex()].text, "bravo");
    chooser.ColumnClicked(ChooserColumn::Description);
    EXPECT_EQ(Texts(chooser), (std::vector<std::string>{"Charlie", "bravo", "alpha"}));
    EXPECT_TRUE(chooser.SortDescending());
    chooser.ColumnClicked(ChooserColumn::FileName);
    EXPECT_EQ(Texts(chooser), (std::vector<std::string>{"Charlie", "alpha", "bravo"}));
    EXPECT_FALSE(chooser.SortDescending());

    // The order holds when the list is read again.
    chooser.ColumnClicked(ChooserColumn::FileName);
    chooser.FillList();
    EXPECT_EQ(Texts(chooser), (std::vector<std::string>{"bravo", "alpha", "Charlie"}));
    EXPECT_EQ(chooser.SelectedIndex(), 0);
}

TEST_F(DatabaseChooserTest, TheViewChosenIsTheViewShownNextTime) {
    MakeDatabase("KORA26.MDB", 14, "Main studio");
    {
        DatabaseChooserModel chooser(ui_);
        Show(chooser);
        EXPECT_EQ(chooser.View(), ChooserView::LargeIcons);
        chooser.SetView(ChooserView::Details);
        chooser.Cancel();
    }
    {
        DatabaseChooserModel chooser(ui_);
        Show(chooser);
        EXPECT_EQ(chooser.View(), ChooserView::Details);
        chooser.SetView(ChooserView::List);
        chooser.OK();
    }
    DatabaseChooserModel chooser(ui_);
    Show(chooser);
    EXPECT_EQ(chooser.View(), ChooserView::List);
    std::string registry = testing::ReadWholeFile(windows_ + "/registry.ini");
    EXPECT_NE(registry.find("ChooseDatabaseViewType=dword:2"), std::string::npos) << registry;
}

TEST_F(DatabaseChooserTest, NewNamesAreRefusedWithTheirReasons) {
    MakeDatabase("KORA26.MDB", 14, "Main studio");
    struct Case {
        const char* answer;
        const char* message;  // "" when the question ends without one
        MessageIcon icon;
    };
    const Case cases[] = {
        {"", "", MessageIcon::None},
        {"   ", "You must specify a valid reference name", MessageIcon::Warning},
        {"NEW.ONE", "You must specify a valid reference name", MessageIcon::Warning},
        {"NEW\\ONE", "You must specify a valid reference name", MessageIcon::Warning},
        {"../ONE", "You must specify a valid reference name", MessageIcon::Warning},
        {"BaCkUp", "The name 'Backup' is reserved and cannot be used!", MessageIcon::Warning},
        {"kora26", "A database with this name already exists", MessageIcon::Information},
        // Names no file of the installation could carry, or that other programs would misread.
        {"NEW\nONE", "You must specify a valid reference name", MessageIcon::Warning},
        {"NEW\tONE", "You must specify a valid reference name", MessageIcon::Warning},
        {"NEW*", "You must specify a valid reference name", MessageIcon::Warning},
        {"A:B", "You must specify a valid reference name", MessageIcon::Warning},
        {"WHY?", "You must specify a valid reference name", MessageIcon::Warning},
        {"-rf", "You must specify a valid reference name", MessageIcon::Warning},
        {kTooLong, "That name is too long: a database's name can be up to 48 characters",
         MessageIcon::Warning},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        ui_.Clear();
        ui_.inputAnswers = {Typed(c.answer)};
        DatabaseChooserModel chooser(ui_);
        Show(chooser);
        chooser.CreateNewDatabase();
        ASSERT_EQ(ui_.inputBoxes.size(), 1u);
        EXPECT_EQ(ui_.inputBoxes[0].title, "Create Database");
        EXPECT_EQ(ui_.inputBoxes[0].prompt,
                  "What filename do you want to use for this database:\n"
                  "(This is a unique reference that can be up to 8 letters)");
        if (*c.message == '\0') {
            EXPECT_TRUE(ui_.messages.empty());
        } else {
            ASSERT_EQ(ui_.messages.size(), 1u);
            EXPECT_EQ(ui_.messages[0].request.text, c.message);
            EXPECT_EQ(ui_.messages[0].request.icon, c.icon);
        }
        EXPECT_EQ(chooser.Items().size(), 1u);
    }
    EXPECT_EQ(DatabaseFiles(schedule_), std::vector<std::string>{"KORA26.MDB"});
}

TEST_F(DatabaseChooserTest, CreatesADatabaseOfItsKindAfterTheQuestion) {
    MakeDatabase("KORA26.MDB", 14, "Main studio");
    // "No" to the question creates nothing.
    ui_.inputAnswers = {Typed("NINELETRS")};
    ui_.messageAnswers = {MessageResult::No};
    DatabaseChooserModel chooser(ui_);
    Show(chooser);
    chooser.CreateNewDatabase();
    ASSERT_EQ(ui_.messages.size(), 1u);
    const std::string path = schedule_ + "/NINELETRS.MDB";
    EXPECT_EQ(ui_.messages[0].request.text,
              "Are you sure you want to create a new Kora V2.6 Database in: \n" + path);
    EXPECT_EQ(ui_.messages[0].request.icon, MessageIcon::Question);
    EXPECT_FALSE(fs::exists(path));

    ui_.Clear();
    ui_.inputAnswers = {Typed("NINELETRS"), Typed("Evening show")};
    ui_.messageAnswers = {MessageResult::Yes};
    chooser.CreateNewDatabase();
    ASSERT_EQ(ui_.inputBoxes.size(), 2u);  // the name, then the file layer's description
    EXPECT_EQ(ui_.inputBoxes[1].prompt, "Please enter a suitable description for this database");
    DatabaseInfo info;
    ASSERT_THAT(ReadDatabaseInfo(ui_, path, info, true), Succeeded());
    EXPECT_EQ(info.Type, 14);
    EXPECT_EQ(info.Description, "Evening show");
    EXPECT_EQ(Texts(chooser), (std::vector<std::string>{"Main studio", "Evening show"}));
}

TEST_F(DatabaseChooserTest, ACopyCarriesExactlyTheCommittedWorkOfTheSource) {
    std::string source = MakeDatabase("KORA26.MDB", 14, "Main studio");
    Database writer;
    ASSERT_THAT(writer.Open(source), Succeeded());
    ASSERT_THAT(writer.Execute("CREATE TABLE Items (Name TEXT)"), Succeeded());
    ASSERT_THAT(writer.Execute("INSERT INTO Items (Name) VALUES ('committed')"), Succeeded());
    ASSERT_THAT(writer.BeginTrans(), Succeeded());
    ASSERT_THAT(writer.Execute("INSERT INTO Items (Name) VALUES ('uncommitted')"), Succeeded());
    // The committed row is still only in the journal: a copy of the file's bytes would lose it.
    ASSERT_GT(fs::file_size(source + "-wal"), 0u);

    DatabaseChooserModel chooser(ui_);
    Show(chooser);
    std::vector<std::string> seen;  // the status panel each time the model redraws
    chooser.OnChanged([&] {
        seen.push_back(chooser.StatusVisible()
                           ? chooser.StatusFirstLine() + " / " + chooser.StatusSecondLine() +
                                 (chooser.OkEnabled() ? " ok" : "") +
                                 (chooser.CancelEnabled() ? " cancel" : "")
                           : "hidden");
    });
    ui_.inputAnswers = {Typed("COPY1")};
    ui_.messageAnswers = {MessageResult::Yes};
    chooser.CopyDatabase();
    EXPECT_TRUE(ui_.messages.size() == 1u) << ::testing::PrintToString(ui_.MessageTexts());
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(seen[0], "Copying Database... / Creating new database...");
    EXPECT_EQ(seen[1], "Copying Database... / Copying Database Contents...");
    EXPECT_FALSE(chooser.StatusVisible());
    EXPECT_TRUE(chooser.OkEnabled());
    EXPECT_TRUE(chooser.CancelEnabled());

    const std::string copy = schedule_ + "/COPY1.MDB";
    Database copied;
    ASSERT_THAT(copied.Open(copy), Succeeded());
    QueryResult rows;
    ASSERT_THAT(copied.Query("SELECT Name FROM Items", {}, rows), Succeeded());
    std::vector<std::string> names;
    for (; !rows.Eof(); (void)rows.MoveNext()) names.push_back(rows.Field("Name").AsText());
    EXPECT_EQ(names, std::vector<std::string>{"committed"});
    TableCursor description;
    ASSERT_THAT(copied.OpenTable("Description", description), Succeeded());
    EXPECT_EQ(description.Field("Description"), DbValue("Copy of Main studio"));
    EXPECT_EQ(Texts(chooser), (std::vector<std::string>{"Copy of Main studio", "Main studio"}));
    ASSERT_THAT(writer.Rollback(), Succeeded());
}

TEST_F(DatabaseChooserTest, CancellingTheNameOfACopyLeavesTheWindowUsable) {
    MakeDatabase("KORA26.MDB", 14, "Main studio");
    DatabaseChooserModel chooser(ui_);
    Show(chooser);
    chooser.CopyDatabase();  // the name box is cancelled
    EXPECT_FALSE(chooser.StatusVisible());
    EXPECT_TRUE(chooser.OkEnabled());
    EXPECT_TRUE(chooser.CancelEnabled());
    EXPECT_EQ(chooser.Items().size(), 1u);
    EXPECT_EQ(DatabaseFiles(schedule_), std::vector<std::string>{"KORA26.MDB"});
}

TEST_F(DatabaseChooserTest, ChangesTheDescription) {
    MakeDatabase("KORA26.MDB", 14, "Main studio");
    ui_.inputAnswers = {Typed("Studio A")};
    DatabaseChooserModel chooser(ui_);
    Show(chooser);
    chooser.ChangeDescription();
    ASSERT_EQ(ui_.inputBoxes.size(), 1u);
    EXPECT_EQ(ui_.inputBoxes[0].prompt,
              "Enter database Description:\n(This is a simple description label)");
    EXPECT_EQ(ui_.inputBoxes[0].title, "Description");
    EXPECT_EQ(ui_.inputBoxes[0].defaultText, "Main studio");
    EXPECT_EQ(Texts(chooser), std::vector<std::string>{"Studio A"});

    chooser.ChangeDescription();  // cancelled: nothing written
    EXPECT_EQ(Texts(chooser), std::vector<std::string>{"Studio A"});
}

TEST_F(DatabaseChooserTest, RenamesWithinTheDirectory) {
    struct Case {
        const char* answer;
        const char* fileAfter;  // where KORA26.MDB is afterwards
        const char* message;
        bool listed;
    };
    const Case cases[] = {
        {"STUDIO3", "STUDIO3.MDB", "", true},
        {"studio4.mdb", "studio4.mdb", "", true},
        {"NOTES.TXT", "NOTES.TXT", "", false},  // another extension leaves the list
        {"ADVERTS", "KORA26.MDB", "A database with that name already exists", true},
        {"adverts.mdb", "KORA26.MDB", "A database with that name already exists", true},
        {"sub/KORA", "KORA26.MDB", "You must specify a valid reference name", true},
        {"KORA\n27", "KORA26.MDB", "You must specify a valid reference name", true},
        {"-KORA27", "KORA26.MDB", "You must specify a valid reference name", true},
        {"K*.MDB", "KORA26.MDB", "You must specify a valid reference name", true},
        {kLongestName.c_str(), kLongestFile.c_str(), "", true},
        {kTooLong, "KORA26.MDB",
         "That name is too long: a database's name can be up to 48 characters", true},
        {"", "KORA26.MDB", "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        TempDir dir;
        schedule_ = dir.path();
        MakeDatabase("KORA26.MDB", 14, "Main studio");
        MakeDatabase("ADVERTS.MDB", 2, "Adverts");
        ui_.Clear();
        ui_.inputAnswers = {Typed(c.answer)};
        DatabaseChooserModel chooser(ui_);
        Show(chooser);
        chooser.RenameDatabase();
        ASSERT_EQ(ui_.inputBoxes.size(), 1u);
        EXPECT_EQ(ui_.inputBoxes[0].prompt, "What do you want this database's filename to be?");
        EXPECT_EQ(ui_.inputBoxes[0].defaultText, "");
        EXPECT_EQ(ui_.MessageTexts(),
                  *c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
        EXPECT_TRUE(fs::exists(schedule_ + "/" + c.fileAfter));
        if (std::string(c.fileAfter) != "KORA26.MDB") {
            EXPECT_FALSE(fs::exists(schedule_ + "/KORA26.MDB"));
            EXPECT_FALSE(fs::exists(schedule_ + "/KORA26.LDB"));
        }
        EXPECT_EQ(chooser.Items().size(), c.listed ? 1u : 0u);
    }
}

TEST_F(DatabaseChooserTest, RenameOfADatabaseInUseIsRefused) {
    std::string path = MakeDatabase("KORA26.MDB", 14, "Main studio");
    HeldOpenElsewhere other(path);
    ASSERT_TRUE(other.Opened());
    ui_.inputAnswers = {Typed("STUDIO3")};
    DatabaseChooserModel chooser(ui_);
    Show(chooser);
    chooser.RenameDatabase();
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].request.text,
              ProblemReportText("renaming : KORA26.MDB", err::kFileAlreadyInUse));
    EXPECT_TRUE(fs::exists(path));
    EXPECT_FALSE(fs::exists(schedule_ + "/STUDIO3.MDB"));
}

TEST_F(DatabaseChooserTest, DeletesOnlyAfterTwoYesesAndWithItsLockFile) {
    std::string path = MakeDatabase("KORA26.MDB", 14, "Main studio");
    MakeDatabase("STUDIO2.MDB", 14, "Second studio");
    DatabaseChooserModel chooser(ui_);
    Show(chooser);
    ASSERT_TRUE(fs::exists(Database::LockFilePath(path)));  // left by the list fill

    const std::string first =
        "Are you sure that you want to delete this Kora V2.6 Database (Main studio)?";
    const std::string second =
        "Are you really sure that you want to delete this Kora V2.6 Database (Main studio)?";
    // The defaults answer: No to the first question.
    chooser.DeleteDatabase();
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].request.text, first);
    EXPECT_EQ(ui_.messages[0].request.defaultButton, MessageResult::No);
    EXPECT_EQ(ui_.messages[0].request.icon, MessageIcon::Question);
    ui_.Clear();
    ui_.messageAnswers = {MessageResult::Yes};  // and the default No to the second
    chooser.DeleteDatabase();
    EXPECT_EQ(ui_.MessageTexts(), (std::vector<std::string>{first, second}));
    EXPECT_EQ(ui_.messages[1].request.defaultButton, MessageResult::No);
    EXPECT_TRUE(fs::exists(path));

    ui_.Clear();
    ui_.messageAnswers = {MessageResult::Yes, MessageResult::Yes};
    chooser.DeleteDatabase();
    EXPECT_EQ(ui_.messages.size(), 2u);
    EXPECT_FALSE(fs::exists(path));
    EXPECT_FALSE(fs::exists(Database::LockFilePath(path)));
    EXPECT_EQ(Texts(chooser), std::vector<std::string>{"Second studio"});
}

TEST_F(DatabaseChooserTest, ADatabaseAnotherProgramHasOpenIsNotDeleted) {
    std::string path = MakeDatabase("KORA26.MDB", 14, "Main studio");
    HeldOpenElsewhere other(path);
    ASSERT_TRUE(other.Opened());
    DatabaseChooserModel chooser(ui_);
    Show(chooser);
    ui_.messageAnswers = {MessageResult::Yes, MessageResult::Yes};
    chooser.DeleteDatabase();
    ASSERT_EQ(ui_.messages.size(), 3u);
    EXPECT_EQ(ui_.messages[2].request.text,
              ProblemReportText("deleting : KORA26", err::kFileAlreadyInUse));
    EXPECT_EQ(ui_.messages[2].request.icon, MessageIcon::Warning);
    EXPECT_TRUE(fs::exists(path));
    EXPECT_TRUE(fs::exists(Database::LockFilePath(path)));
    EXPECT_EQ(Texts(chooser), std::vector<std::string>{"Main studio"});

    // Once the other program has closed it, it goes.
    other.Release();
    ui_.messageAnswers = {MessageResult::Yes, MessageResult::Yes};
    chooser.DeleteDatabase();
    EXPECT_FALSE(fs::exists(path));
    EXPECT_TRUE(chooser.Items().empty());
}

TEST_F(DatabaseChooserTest, ImportsAWindowsDatabaseAndReplacesOneOnlyAfterYes) {
    MakeDatabase("KORA26.MDB", 14, "Main studio");
    const std::string old = dir_ / "old/KORA40.MDB";
    fs::create_directories(dir_ / "old");
    using testing::JetTable;
    ASSERT_EQ(testing::WriteJetFile(
                  old, testing::JetVersion::Jet3,
                  {JetTable{"Log", {{"QIndex", FieldType::Double}}, {{DbValue(1.25)}}, {}},
                   JetTable{"Description",
                            {{"Description", FieldType::Text}, {"Type", FieldType::Long}},
                            {{DbValue("From Windows"), DbValue(14)}},
                            {}}}),
              "");
    DatabaseChooserModel chooser(ui_);
    Show(chooser);

    ui_.fileAnswers = {std::nullopt};  // cancelled: nothing happens
    chooser.ImportFromWindows();
    EXPECT_TRUE(ui_.shownFiles.empty());
    EXPECT_EQ(DatabaseFiles(schedule_), std::vector<std::string>{"KORA26.MDB"});

    ui_.fileAnswers = {old};
    chooser.ImportFromWindows();
    ASSERT_EQ(ui_.fileDialogs.size(), 2u);
    EXPECT_EQ(ui_.fileDialogs[1].title, "Import a Windows Database");
    ASSERT_EQ(ui_.shownFiles.size(), 1u);
    EXPECT_EQ(ui_.shownFiles[0].caption, "Import a Windows Database");
    EXPECT_NE(ui_.shownFiles[0].contents.find("Everything came over."), std::string::npos)
        << ui_.shownFiles[0].contents;
    EXPECT_EQ(Texts(chooser), (std::vector<std::string>{"Main studio", "From Windows"}));

    // The same again: asked first, No keeps the database, Yes replaces it and keeps a backup.
    ui_.Clear();
    ui_.fileAnswers = {old};
    chooser.ImportFromWindows();
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_NE(ui_.messages[0].request.text.find("already exists"), std::string::npos);
    EXPECT_EQ(ui_.messages[0].request.defaultButton, MessageResult::No);
    EXPECT_NE(ui_.shownFiles.back().contents.find("Not imported"), std::string::npos);
    EXPECT_EQ(DatabaseFiles(schedule_), (std::vector<std::string>{"KORA26.MDB", "KORA40.MDB"}));

    ui_.Clear();
    ui_.fileAnswers = {old};
    ui_.messageAnswers = {MessageResult::Yes};
    chooser.ImportFromWindows();
    EXPECT_NE(ui_.shownFiles.back().contents.find("kept as: " + schedule_ + "/KORA40-0001.BAK"),
              std::string::npos)
        << ui_.shownFiles.back().contents;
    EXPECT_TRUE(fs::exists(schedule_ + "/KORA40-0001.BAK"));
}

// The chooser on a store of either kind: a station's server lists, names, describes and
// manages its databases exactly as a directory of files, with the same refusals and messages.
class ChooserOnStoreTest : public ::testing::TestWithParam<testing::Backend> {
  protected:
    void SetUp() override {
        fs::create_directories(schedule_);
        if (GetParam() == testing::Backend::Sqlite) {
            store_ = MakeFileStore(schedule_);
        } else {
            installation_.emplace();
            store_ = MakeServerStore(installation_->conninfo());
        }
    }

    void Make(const std::string& name, int32_t type, const std::string& description) {
        ScriptedUserInterface quiet;
        std::string title = description;
        EXPECT_EQ(EnsureDatabase(quiet, *store_, name, type, true, title), 0) << name;
    }

    void Show(DatabaseChooserModel& chooser) {
        chooser.SetSearchDirectory(schedule_);
        chooser.SetStore(store_);
        chooser.SetDatabaseType(kKoraV26DatabaseType);
        chooser.Activate();
    }

    // Selects the listed database of this file name (without extension).
    static void Select(DatabaseChooserModel& chooser, const std::string& fileName) {
        for (size_t i = 0; i < chooser.Items().size(); ++i)
            if (chooser.Items()[i].fileName == fileName) return chooser.ItemClicked(int(i));
        ADD_FAILURE() << fileName << " is not listed";
    }

    static std::vector<std::string> Listed(const DatabaseChooserModel& chooser) {
        std::vector<std::string> listed;
        for (const ChooserItem& item : chooser.Items())
            listed.push_back(item.fileName + ": " + item.text);
        return listed;
    }

    TempDir dir_;
    std::string schedule_ = dir_ / "SCHEDULE";
    ScopedEnv windir_{"VANTOR_WINDIR", dir_ / "windows"};
    std::optional<testing::ServerInstallation> installation_;
    std::shared_ptr<DatabaseStore> store_;
    ScriptedUserInterface ui_;
};

INSTANTIATE_TEST_SUITE_P(Backends, ChooserOnStoreTest,
                         ::testing::Values(testing::Backend::Sqlite, testing::Backend::Postgres),
                         [](const auto& info) { return testing::BackendName(info.param); });

TEST_P(ChooserOnStoreTest, ListsCreatesCopiesDescribesRenamesAndDeletes) {
    Make("STUDIO2.MDB", kKoraV26DatabaseType, "Second studio");
    Make("KORA26.MDB", kKoraV26DatabaseType, "Main studio");
    Make("ADVERTS.MDB", 2, "Adverts");  // another kind: not offered
    DatabaseChooserModel chooser(ui_);
    Show(chooser);
    EXPECT_EQ(Listed(chooser),
              (std::vector<std::string>{"KORA26: Main studio", "STUDIO2: Second studio"}));

    ui_.inputAnswers = {Typed("kora26")};
    chooser.CreateNewDatabase();
    EXPECT_EQ(ui_.MessageTexts(),
              std::vector<std::string>{"A database with this name already exists"});

    ui_.Clear();
    ui_.inputAnswers = {Typed("EVENING"), Typed("Evening show")};
    ui_.messageAnswers = {MessageResult::Yes};
    chooser.CreateNewDatabase();
    Select(chooser, "KORA26");
    ui_.inputAnswers = {Typed("COPY1")};
    ui_.messageAnswers = {MessageResult::Yes};
    chooser.CopyDatabase();
    EXPECT_EQ(Listed(chooser), (std::vector<std::string>{"COPY1: Copy of Main studio",
                                                         "EVENING: Evening show",
                                                         "KORA26: Main studio",
                                                         "STUDIO2: Second studio"}));
    EXPECT_EQ(ui_.messages.size(), 2u) << ::testing::PrintToString(ui_.MessageTexts());

    ui_.Clear();
    Select(chooser, "COPY1");
    ui_.inputAnswers = {Typed("Spare")};
    chooser.ChangeDescription();
    Select(chooser, "COPY1");
    ui_.inputAnswers = {Typed("studio2")};
    chooser.RenameDatabase();
    EXPECT_EQ(ui_.MessageTexts(),
              std::vector<std::string>{"A database with that name already exists"});
    Select(chooser, "COPY1");
    ui_.inputAnswers = {Typed("SPARE")};
    chooser.RenameDatabase();
    EXPECT_EQ(Listed(chooser), (std::vector<std::string>{"EVENING: Evening show",
                                                         "KORA26: Main studio", "SPARE: Spare",
                                                         "STUDIO2: Second studio"}));

    Select(chooser, "SPARE");
    ui_.messageAnswers = {MessageResult::Yes, MessageResult::Yes};
    chooser.DeleteDatabase();
    EXPECT_FALSE(store_->Exists("SPARE.MDB"));
    EXPECT_TRUE(store_->Exists("ADVERTS.MDB"));
    Select(chooser, "KORA26");
    chooser.OK();
    EXPECT_EQ(chooser.ChosenFileName(), "KORA26.MDB");
    EXPECT_EQ(chooser.ChosenDatabaseDescription(), "Main studio");
}

TEST_P(ChooserOnStoreTest, RenameAndDeleteAreRefusedWhileAnotherProgramHoldsTheDatabase) {
    Make("KORA26.MDB", kKoraV26DatabaseType, "Main studio");
    HeldOpenElsewhere other(*store_, "KORA26.MDB");
    ASSERT_TRUE(other.Opened());
    DatabaseChooserModel chooser(ui_);
    Show(chooser);
    ui_.inputAnswers = {Typed("STUDIO3")};
    chooser.RenameDatabase();
    ui_.messageAnswers = {MessageResult::Yes, MessageResult::Yes};
    chooser.DeleteDatabase();
    ASSERT_EQ(ui_.messages.size(), 4u) << ::testing::PrintToString(ui_.MessageTexts());
    EXPECT_EQ(ui_.messages[0].request.text,
              ProblemReportText("renaming : KORA26.MDB", err::kFileAlreadyInUse));
    EXPECT_EQ(ui_.messages[3].request.text,
              ProblemReportText("deleting : KORA26", err::kFileAlreadyInUse));
    EXPECT_EQ(Listed(chooser), std::vector<std::string>{"KORA26: Main studio"});
    EXPECT_FALSE(store_->Exists("STUDIO3.MDB"));
}

}  // namespace
}  // namespace vantor
