#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>

#include <filesystem>

#include "common/scramble.h"
#include "common/problem_report.h"
#include "common/profile.h"
#include "common/registry.h"
#include "common/text.h"
#include "config/startup.h"
#include "dbengine/database_file.h"
#include "users_fixture.h"
#include "support/succeeded.h"

namespace vantor {
namespace {

namespace fs = std::filesystem;
using testing::Account;
using testing::UsersBackendTest;
using testing::UsersTest;

constexpr double kSecond = 1.0 / 86400.0;

INSTANTIATE_TEST_SUITE_P(Backends, UsersBackendTest,
                         ::testing::Values(testing::Backend::Sqlite, testing::Backend::Postgres),
                         [](const auto& info) { return testing::BackendName(info.param); });

TEST_P(UsersBackendTest, FirstOpenCreatesTheDatabaseAndRunsTheDailyProcessing) {
    OpenDatabase();
    EXPECT_TRUE(users_.IsOpen());
    // With a server, the users database is there and no file is made beside the data.
    EXPECT_EQ(fs::exists(dir_ / "data/USERS/USERS25.MDB"), GetParam() == testing::Backend::Sqlite);
    EXPECT_EQ(users_.Description().Description, "Users Database");
    EXPECT_FLOAT_EQ(users_.Description().Version, 2.51f);
    for (const char* table : {"Settings", "Users", "UserGroups", "UserHistory", "UserPreferences"})
        EXPECT_THAT(usersDb_.FindTable(table), Succeeded()) << table;
    EXPECT_EQ(users_.Settings().FirstRun, 1);
    EXPECT_EQ(users_.Settings().PasswordExpiryDays, 0);
    EXPECT_EQ(users_.Settings().UserHistoryPurgeDays, 30);
    EXPECT_EQ(users_.Settings().LastAccountProcess, Today());
    // No older database named: nothing is asked and the groups stay empty.
    EXPECT_EQ(Count("SELECT COUNT(*) FROM [UserGroups]"), 0);
    EXPECT_TRUE(ui_.messages.empty());
    EXPECT_EQ(users_.LoginNameLength(), 20);
    EXPECT_EQ(users_.PasswordLength(), 20);

    Reopen();
    EXPECT_EQ(users_.Settings().FirstRun, 1);
    EXPECT_EQ(users_.Settings().LastAccountProcess, Today());
}

// The users database holds login names and password scrambles: whatever the umask, a new one
// and its lock file are the owner's alone, or also the group's where the directory is shared
// by a group (group-writable or set-group-ID).
TEST_F(UsersTest, ANewDatabaseAndItsLockAreReadableByNoOtherAccount) {
    const std::string directory = dir_ / "data/USERS";
    const std::string path = UsersDatabasePath(locations_.DataLocation);
    auto modeOf = [](const std::string& file) {
        struct stat st {};
        EXPECT_EQ(stat(file.c_str(), &st), 0) << file;
        return st.st_mode & 07777;
    };
    struct Case {
        mode_t directoryMode;
        mode_t fileMode;
    };
    for (const Case& c : {Case{0755, 0600}, Case{02770, 0660}, Case{0775, 0660}}) {
        SCOPED_TRACE(c.directoryMode);
        users_.CloseUsersDatabase();
        usersDb_.Close();
        for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(path + suffix);
        fs::remove(Database::LockFilePath(path));
        ASSERT_EQ(chmod(directory.c_str(), c.directoryMode), 0);
        mode_t old = umask(0);
        DbError opened = Open();
        umask(old);
        ASSERT_THAT(opened, Succeeded()) << ::testing::PrintToString(ui_.MessageTexts());
        EXPECT_EQ(modeOf(path), c.fileMode);
        EXPECT_EQ(modeOf(Database::LockFilePath(path)), c.fileMode);
        if (fs::exists(path + "-wal")) {
            EXPECT_EQ(modeOf(path + "-wal") & 0007, 0U);
        }
    }
}

TEST_F(UsersTest, ADataLocationStoredInCapitalsFindsItsDirectory) {
    // The file locations window stores the data location in capitals; the directory on disk
    // keeps the spelling it was made with.
    locations_.DataLocation = ToUpper(dir_ / "data");
    OpenDatabase();
    EXPECT_TRUE(users_.IsOpen());
    EXPECT_TRUE(fs::is_regular_file(dir_ / "data/USERS/USERS25.MDB"));
}

TEST_F(UsersTest, OpeningCompletesATableWrittenByAnOlderProgram) {
    {
        // Written as layout version 2.5 by an older program.
        std::string description = "Users Database";
        ASSERT_EQ(EnsureDatabaseFile(ui_, UsersDatabasePath(locations_.DataLocation), 2, true,
                                     description),
                  0);
        Database db;
        ASSERT_THAT(db.Open(UsersDatabasePath(locations_.DataLocation)), Succeeded());
        std::vector<FieldDef> fields = {{"LoginName", FieldType::Text, 20},
                                        {"Password", FieldType::Text, 20}};
        ASSERT_THAT(db.CreateTable("Users", fields), Succeeded());
        ASSERT_THAT(db.Execute("INSERT INTO [Users] ([LoginName], [Password]) VALUES (?, ?)",
                               {DbValue("FRED"), DbValue(ScrambleText("PW", false))}),
                    Succeeded());
    }
    OpenDatabase();
    EXPECT_THAT(usersDb_.FindField("Users", "AccountStatus"), Succeeded());
    EXPECT_THAT(usersDb_.FindIndex("Users", "Main"), Succeeded());
    EXPECT_EQ(AccountField("FRED", "Password").AsText(), ScrambleText("PW", false));
    DatabaseInfo info;
    ASSERT_THAT(ReadDatabaseInfo(ui_, UsersDatabasePath(locations_.DataLocation), info, true),
                Succeeded());
    EXPECT_FLOAT_EQ(info.Version, 2.51f);
}

TEST_F(UsersTest, AnIndexThatCannotBeAddedIsReportedByItsName) {
    {
        std::string description = "Users Database";
        ASSERT_EQ(EnsureDatabaseFile(ui_, UsersDatabasePath(locations_.DataLocation), 0, true,
                                     description),
                  0);
        Database db;
        ASSERT_THAT(db.Open(UsersDatabasePath(locations_.DataLocation)), Succeeded());
        std::vector<FieldDef> fields = {{"LoginName", FieldType::Text, 20}};
        ASSERT_THAT(db.CreateTable("Users", fields), Succeeded());
        // Two rows that the unique index refuses.
        ASSERT_THAT(db.Execute("INSERT INTO [Users] ([LoginName]) VALUES ('FRED'), ('FRED')"),
                    Succeeded());
    }
    EXPECT_THAT(Open(), ::testing::Not(Succeeded()));
    bool reported = false;
    for (const std::string& text : ui_.MessageTexts())
        reported =
            reported ||
            text.rfind("There was a problem adding the indexMain to the Users table", 0) == 0;
    EXPECT_TRUE(reported) << ::testing::PrintToString(ui_.MessageTexts());
    // The rest of the tables were still verified.
    Database db;
    ASSERT_THAT(db.Open(UsersDatabasePath(locations_.DataLocation)), Succeeded());
    EXPECT_THAT(db.FindTable("UserPreferences"), Succeeded());
}

TEST_F(UsersTest, NotADatabaseFileIsAFailure) {
    dir_.WriteFile("data/USERS/USERS25.MDB", "this is not a database");
    EXPECT_THAT(Open(), ::testing::Not(Succeeded()));
    EXPECT_FALSE(users_.IsOpen());
}

TEST_F(UsersTest, HistoryEventsOfOneSecondAreStoredASecondApartInOrder) {
    OpenDatabase();
    users_.AddEventToUserHistory("FRED", 101, 1, "first");
    users_.AddEventToUserHistory("JOE", 101, 1, "second");
    clock_.AdvanceSeconds(0.4);  // still the same second
    users_.AddEventToUserHistory("ANN", 129, 2, "");
    auto rows = History();
    ASSERT_EQ(rows.size(), 3u);
    const double now = std::round(clock_.Now() * 86400.0) / 86400.0;
    EXPECT_NEAR(rows[0].eventTime, now, 1e-9);
    EXPECT_NEAR(rows[1].eventTime - rows[0].eventTime, kSecond, 1e-9);
    EXPECT_NEAR(rows[2].eventTime - rows[1].eventTime, kSecond, 1e-9);
    EXPECT_EQ(rows[0].notes, "first");
    EXPECT_EQ(rows[1].loginName, "JOE");
    EXPECT_EQ(rows[2].action, 129);
    EXPECT_EQ(rows[2].status, 2);
}

TEST_F(UsersTest, HistoryTakesTheNextSecondWhenAnotherWorkstationTookIt) {
    OpenDatabase();
    Database otherWorkstation;
    ASSERT_THAT(otherWorkstation.Open(UsersDatabasePath(locations_.DataLocation)), Succeeded());
    int collisions = 0;
    historyKeyChosen_ = [&](double eventTime) {
        if (collisions++ < 2) {
            EXPECT_THAT(
                otherWorkstation.Execute(
                    "INSERT INTO [UserHistory] ([EventTime], [LoginName]) VALUES (?, 'ELSEWHERE')",
                    {DbValue(eventTime)}),
                Succeeded());
        }
    };
    users_.AddEventToUserHistory("FRED", 101, 1, "range");
    auto rows = History();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[2].loginName, "FRED");
    EXPECT_NEAR(rows[2].eventTime - rows[0].eventTime, 2 * kSecond, 1e-9);
}

// Another workstation writes an event's time as the date value of its second, the nearest
// double to day + seconds / 86400. An event of the same second must be found under that key,
// or two events would share one second.
TEST_F(UsersTest, HistoryFindsAnEventOfTheSameSecondWrittenByAnotherProgram) {
    OpenDatabase();
    const double day = Today();
    // A second whose date value differs from whole seconds times one second's fraction.
    int second = -1;
    for (int s = 36000; s < 86400 && second < 0; ++s)
        if ((day * 86400 + s) * (1.0 / 86400) != day + s / 86400.0) second = s;
    ASSERT_GE(second, 0);
    clock_.Set(day + second / 86400.0);
    AddHistory(day + second / 86400.0, "ELSEWHERE");
    users_.AddEventToUserHistory("FRED", 101, 1, "same second");
    auto rows = History();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].loginName, "ELSEWHERE");
    EXPECT_EQ(rows[1].loginName, "FRED");
    EXPECT_EQ(rows[1].eventTime, day + (second + 1) / 86400.0);
}

TEST_F(UsersTest, HistoryIsSilentWhenInhibitedOrClosedOrTooLong) {
    users_.AddEventToUserHistory("FRED", 101, 1, "closed");  // not open: nothing, no failure
    WriteRegistryNumber(RegistryRoot::LocalMachine, kProductRegistryKey, "InhibitUserHistory", 1,
                        0);
    OpenDatabase();
    EXPECT_TRUE(users_.HistoryInhibited());
    users_.AddEventToUserHistory("FRED", 101, 1, "inhibited");
    EXPECT_TRUE(History().empty());

    WriteRegistryNumber(RegistryRoot::LocalMachine, kProductRegistryKey, "InhibitUserHistory", 0,
                        0);
    Reopen();
    // A login name longer than its column is cut, not lost.
    users_.AddEventToUserHistory("ANAMEMUCHLONGERTHANTWENTY", 1, 2, "x");
    auto rows = History();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].loginName, "ANAMEMUCHLONGERTHANT");
    EXPECT_TRUE(ui_.messages.empty());
}

TEST_P(UsersBackendTest, HistoryPurgeKeepsTheConfiguredDays) {
    struct Case {
        const char* purgeDays;
        std::vector<double> kept;  // offsets from today's midnight, in days
    };
    const std::vector<double> events = {-40, -29.5, -29, -1.5, 0, kSecond};
    const Case cases[] = {
        {"1", {kSecond}},            // up to and including today's midnight goes
        {"0", events},               // nothing goes
        {"30", {-1.5, 0, kSecond}},  // today and the 29 days before it stay
    };
    for (const Case& c : cases) {
        OpenDatabase();
        ASSERT_THAT(usersDb_.Execute("DELETE * FROM [UserHistory]"), Succeeded());
        for (double offset : events) AddHistory(Today() + offset);
        SetUsersSetting("UserHistoryPurgeDays", c.purgeDays);
        Reopen();
        static_cast<void>(users_.ProcessAccounts("SYSTEM"));  // the purge is what counts here
        std::vector<double> kept;
        for (const auto& row : History()) kept.push_back(row.eventTime - Today());
        ASSERT_EQ(kept.size(), c.kept.size()) << "purge days " << c.purgeDays;
        for (size_t i = 0; i < kept.size(); ++i) EXPECT_NEAR(kept[i], c.kept[i], 1e-6);
        users_.CloseUsersDatabase();
    }
}

TEST_P(UsersBackendTest, DailyProcessingExpiresAndDeletesAccountsWhoseDayHasCome) {
    OpenDatabase();
    const double today = Today();
    AddAccount(Account("EXPIRED", "A").Expires(today - 1));
    AddAccount(Account("DOOMED", "B").Deleted(today));
    AddAccount(Account("LATER", "C").Expires(today + 2));
    AddAccount(Account("NEVER", "D").Expires(0.0));
    AddPreference("DOOMED", "Colour");
    AddPreference("LATER", "Colour");
    fs::create_directories(dir_ / "data/USERS/DOOMED");

    std::string name = "expired", password = "a";
    CurrentUser user;
    EXPECT_EQ(users_.CheckLogin(name, password, user, true), login::kAccountNotUsable);
    name = "DOOMED", password = "B";
    EXPECT_EQ(users_.CheckLogin(name, password, user, true), login::kAccountNotUsable);
    name = "NEVER", password = "D";
    EXPECT_EQ(users_.CheckLogin(name, password, user, true), login::kAccepted);

    // The next day's first open runs the processing.
    clock_.AdvanceSeconds(86400);
    Reopen();
    EXPECT_EQ(users_.Settings().LastAccountProcess, Today());
    EXPECT_EQ(AccountField("EXPIRED", "AccountStatus").AsInteger(), 0);
    EXPECT_TRUE(AccountField("EXPIRED", "ExpirationDate").IsNull());
    EXPECT_TRUE(AccountField("DOOMED", "LoginName").IsNull());
    EXPECT_FALSE(fs::exists(dir_ / "data/USERS/DOOMED"));
    EXPECT_EQ(Count("SELECT COUNT(*) FROM [UserPreferences]"), 1);
    EXPECT_EQ(AccountField("LATER", "AccountStatus").AsInteger(), 1);  // expires tomorrow
    EXPECT_EQ(AccountField("NEVER", "AccountStatus").AsInteger(), 1);

    std::vector<std::pair<int32_t, std::string>> events;
    for (const auto& row : History()) {
        EXPECT_EQ(row.loginName, "SYSTEM");
        EXPECT_EQ(row.status, 1);
        events.emplace_back(row.action, row.notes);
    }
    std::sort(events.begin(), events.end());
    EXPECT_EQ(events,
              (std::vector<std::pair<int32_t, std::string>>{{21, "EXPIRED"}, {22, "DOOMED"}}));
    // Still refused after the processing.
    name = "EXPIRED", password = "A";
    EXPECT_EQ(users_.CheckLogin(name, password, user, true), login::kAccountNotUsable);
}

// A login name from the shared table that is no plain file name gets no home directory: no
// directory is made outside the users directory, whatever the name says.
TEST_F(UsersTest, ALoginNameThatIsNoPlainFileNameBuildsNoPath) {
    OpenDatabase();
    for (const char* name : {"../../../PWNED", "..", "A/B", "TAB\tNAME"}) {
        SCOPED_TRACE(name);
        AddAccount(Account(name, "X"));
        std::string login = name, password = "X";
        CurrentUser user;
        EXPECT_EQ(users_.CheckLogin(login, password, user, false), login::kAccepted);
        EXPECT_EQ(user.HomeDirectory, "");
    }
    EXPECT_FALSE(fs::exists(fs::path(dir_.path()).parent_path() / "PWNED"));
    EXPECT_FALSE(fs::exists(dir_ / "data/USERS/A"));
    std::string login = "FRED", password = "X";
    AddAccount(Account("FRED", "X"));
    CurrentUser user;
    EXPECT_EQ(users_.CheckLogin(login, password, user, false), login::kAccepted);
    EXPECT_TRUE(fs::is_directory(user.HomeDirectory));
}

TEST_P(UsersBackendTest, CheckLoginResults) {
    OpenDatabase();
    AddAccount(Account("FRED", "SECRET").FullName("Fred Bloggs"));
    AddAccount(Account("IDLE", "X").Status(0));
    AddAccount(Account("GONE", "X").Deleted(Today() - 3.0));
    struct Case {
        const char* name;
        const char* password;
        bool verify;
        int result;
    };
    const Case cases[] = {
        {"fred", "secret", true, login::kAccepted},
        {"  fred ", "SECRET", true, login::kAccepted},
        {"FRED", "WRONG", true, login::kWrongPassword},
        {"FRED", "WRONG", false, login::kAccepted},
        {"IDLE", "X", true, login::kAccountNotUsable},
        {"IDLE", "", false, login::kAccepted},
        {"GONE", "X", true, login::kAccountNotUsable},
        {"NOBODY", "X", true, login::kUnknownName},
        {"NOBODY", "", false, login::kUnknownName},
        {"FRED' OR '1'='1", "SECRET", true, login::kUnknownName},
        {"tressel", "veldomar", true, login::kAccepted},
        {"TRESSEL", "WRONG", true, login::kWrongPassword},
        {"TRESSEL", "WRONG", false, login::kAccepted},
        {"daycode", "9779", true, login::kAccepted},
        {"DAYCODE", "1234", true, login::kWrongPassword},
    };
    for (const Case& c : cases) {
        std::string name = c.name, password = c.password;
        CurrentUser user;
        user.FullName = "left over";
        EXPECT_EQ(users_.CheckLogin(name, password, user, c.verify), c.result)
            << c.name << "/" << c.password;
        EXPECT_EQ(name, ToUpper(c.name));  // the caller's texts are capitalised
        EXPECT_EQ(password, ToUpper(c.password));
        if (c.result != login::kAccepted) {
            EXPECT_EQ(user.FullName, "");
        }
    }
}

TEST_F(UsersTest, RightsComeFromTheGroupOrTheAccount) {
    OpenDatabase();
    AddGroup(7, {1, 5});
    AddAccount(Account("MEMBER", "P").Group(7));
    AddAccount(Account("ORPHAN", "P").Group(99).Rights({5, 6}));
    AddAccount(Account("OWN", "P").OwnRights(true).Group(7).Rights({6}).FullName("Own Rights"));
    struct Case {
        const char* name;
        std::array<bool, 6> rights;
    };
    const Case cases[] = {
        {"MEMBER", {true, false, false, false, true, false}},
        {"ORPHAN", {false, false, false, false, false, false}},
        {"OWN", {false, false, false, false, false, true}},
    };
    for (const Case& c : cases) {
        std::string name = c.name, password = "p";
        CurrentUser user;
        ASSERT_EQ(users_.CheckLogin(name, password, user, true), login::kAccepted) << c.name;
        EXPECT_EQ(user.AccessRights, c.rights) << c.name;
        EXPECT_EQ(user.LoginName, c.name);
        EXPECT_EQ(user.Password, "P");
        EXPECT_FALSE(user.BuiltIn);
        EXPECT_TRUE(fs::is_directory(dir_ / ("data/USERS/" + std::string(c.name))));
    }
    std::string name = "own", password = "p";
    CurrentUser user;
    users_.CheckLogin(name, password, user, true);
    EXPECT_EQ(user.FullName, "Own Rights");
    EXPECT_EQ(user.GroupNumber, 7);
    EXPECT_TRUE(user.OverrideAccessRights);
}

TEST_F(UsersTest, BuiltInAccountsHaveEveryRight) {
    OpenDatabase();
    struct Case {
        const char* name;
        const char* password;
        const char* fullName;
        int32_t group;
    };
    for (Case c : {Case{"tressel", "VELDOMAR", "Tressel Ltd.", 0},
                   Case{"DAYCODE", "9779", "Single Day Access", 1}}) {
        std::string name = c.name, password = c.password;
        CurrentUser user;
        ASSERT_EQ(users_.CheckLogin(name, password, user, true), login::kAccepted);
        EXPECT_EQ(user.LoginName, ToUpper(c.name));
        EXPECT_EQ(user.FullName, c.fullName);
        EXPECT_EQ(user.GroupNumber, c.group);
        EXPECT_TRUE(user.BuiltIn);
        EXPECT_TRUE(user.OverrideAccessRights);
        EXPECT_TRUE(user.HasRight(5) && user.HasRight(6) && user.HasRight(1));
        EXPECT_EQ(user.LastPasswordSetDate, -1);
    }
}

TEST_F(UsersTest, ChangeUserPasswordStoresTheScrambledPasswordOfToday) {
    OpenDatabase();
    AddAccount(Account("FRED", "OLD").PasswordSet(40000.0));
    EXPECT_THAT(users_.ChangeUserPassword(" FRED ", " new1 ", "FRED"), Succeeded());
    EXPECT_EQ(AccountField("FRED", "Password").AsText(), ScrambleText("NEW1", false));
    EXPECT_EQ(AccountField("FRED", "LastPasswordSetDate").AsDouble(), Today());
    std::string name = "FRED", password = "NEW1";
    CurrentUser user;
    EXPECT_EQ(users_.CheckLogin(name, password, user, true), login::kAccepted);

    EXPECT_EQ(users_.ChangeUserPassword("GHOST", "X", "FRED").number, 3021);
    EXPECT_TRUE(
        ui_.Showed("The password was not changed, because the user account could not "
                   "be found"));
    auto rows = History();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].action, 23);
    EXPECT_EQ(rows[0].status, 1);
    EXPECT_EQ(rows[0].notes, "FRED");
    EXPECT_EQ(rows[1].status, 2);
    EXPECT_EQ(rows[1].loginName, "FRED");
    EXPECT_EQ(rows[1].notes, "GHOST");
}

TEST_F(UsersTest, DeleteUserTakesOnlyThatAccountAndItsPreferences) {
    OpenDatabase();
    AddAccount(Account("O'BRIEN", "X"));
    AddAccount(Account("KEEP", "X"));
    AddPreference("O'BRIEN", "Colour");
    AddPreference("KEEP", "Colour");
    dir_.WriteFile("data/USERS/KEEP/notes.txt", "mine");
    EXPECT_THAT(users_.DeleteUser("O'BRIEN"), Succeeded());
    EXPECT_EQ(Count("SELECT COUNT(*) FROM [Users]"), 1);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM [UserPreferences] WHERE [LoginName]='KEEP'"), 1);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM [UserPreferences]"), 1);

    EXPECT_EQ(users_.DeleteUser("").number, 3021);
    EXPECT_EQ(users_.DeleteUser("GHOST").number, 3021);
    // A personal directory with files in it stays.
    EXPECT_THAT(users_.DeleteUser("KEEP"), Succeeded());
    EXPECT_TRUE(fs::exists(dir_ / "data/USERS/KEEP/notes.txt"));
}

class LegacyImportTest : public UsersTest {
  protected:
    // An older users database as the installation's previous programs left it.
    void WriteLegacyDatabase() {
        const std::string path = dir_ / "data/USERS/OLDUSERS.MDB";
        std::string description = "Old Users";
        ASSERT_EQ(EnsureDatabaseFile(ui_, path, 2, true, description), 0);
        Database old;
        ASSERT_THAT(old.Open(path), Succeeded());
        std::vector<FieldDef> fields = {
            {"Login", FieldType::Text, 20},    {"password", FieldType::Text, 20},
            {"FullName", FieldType::Text, 60}, {"Phone1", FieldType::Text, 30},
            {"Phone2", FieldType::Text, 30},   {"Address", FieldType::Memo, 0},
            {"Access1", FieldType::Long, 0},   {"Access2", FieldType::Long, 0},
            {"Access3", FieldType::Long, 0}};
        ASSERT_THAT(old.CreateTable("General", fields), Succeeded());
        auto add = [&](const char* login, const char* password, int group, int access2,
                       int access3) {
            ASSERT_THAT(
                old.Execute(
                    "INSERT INTO [General] ([Login], [password], [FullName], [Phone1], [Access1], "
                    "[Access2], [Access3]) VALUES (?, ?, ?, '555', ?, ?, ?)",
                    {DbValue(login), DbValue(password), DbValue(std::string(login) + " Name"),
                     DbValue(group), DbValue(access2), DbValue(access3)}),
                Succeeded());
        };
        add("ANNE", "apple", 2, 8192 | 1, 1);
        add("BOB", "pear", 19, 0, 4);
        add("ANAMETHATISFARTOOLONGFORIT", "x", 1, 0, 0);
        WriteProfileString("Vantor.ini", "UsersDatabase", "FileName", "OLDUSERS.MDB");
    }
    std::array<bool, 6> Rights(const std::string& login) {
        std::array<bool, 6> rights{};
        for (int r = 1; r <= 6; ++r)
            rights[r - 1] = AccountField(login, "AccessRight" + std::to_string(r)).AsBool();
        return rights;
    }
};

TEST_F(LegacyImportTest, FirstOpenOffersTheOlderDatabaseAndImportsItsAccounts) {
    WriteLegacyDatabase();
    ui_.messageAnswers = {MessageResult::Yes};
    OpenDatabase();
    ASSERT_FALSE(ui_.messages.empty());
    EXPECT_EQ(ui_.messages[0].request.text, "Do you want to import the Users from 'Old Users'?");
    EXPECT_EQ(ui_.messages[0].request.buttons, MessageButtons::YesNoCancel);
    EXPECT_TRUE(ui_.Showed("The Users database has been imported"));
    EXPECT_TRUE(
        ui_.Showed("There was a problem adding ANAMETHATISFARTOOLONGFORIT to the users "
                   "database and the error's description was reported as : \n\n\"" +
                   StandardErrorMessage(3163) + "\" (3163)"));

    EXPECT_EQ(Count("SELECT COUNT(*) FROM [UserGroups]"), 23);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM [UserGroups] WHERE [AccessRight5]<>0"), 15);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM [UserGroups] WHERE [Name]='General User' AND "
                    "[GroupNumber]=23 AND [AllowMultipleUsers]<>0"),
              1);
    EXPECT_EQ(Rights("ANNE"), (std::array<bool, 6>{true, true, false, true, true, false}));
    EXPECT_EQ(Rights("BOB"), (std::array<bool, 6>{false, false, false, false, false, true}));
    EXPECT_EQ(AccountField("ANNE", "GroupNumber").AsInteger(), 2);
    EXPECT_EQ(AccountField("ANNE", "PhoneNumber1").AsText(), "555");
    EXPECT_EQ(AccountField("ANNE", "AccountStatus").AsInteger(), 1);
    std::string name = "anne", password = "apple";
    CurrentUser user;
    EXPECT_EQ(users_.CheckLogin(name, password, user, true), login::kAccepted);
    EXPECT_EQ(users_.Settings().FirstRun, 1);

    // Offered once per users database.
    ui_.Clear();
    Reopen();
    EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(LegacyImportTest, ImportingAgainNeverTakesRightsAway) {
    WriteLegacyDatabase();
    ui_.messageAnswers = {MessageResult::Cancel};
    OpenDatabase();
    AddAccount(Account("BOB", "old").Rights({3, 5}));
    ui_.fileAnswers.push_back(dir_ / "data/USERS/OLDUSERS.MDB");
    users_.ImportLegacyUsers(true);
    EXPECT_EQ(ui_.fileDialogs.back().title, "Please select the Users Database to import from..");
    EXPECT_EQ(Rights("BOB"), (std::array<bool, 6>{false, false, true, false, true, true}));
    EXPECT_EQ(AccountField("BOB", "Password").AsText(), ScrambleText("PEAR", false));
}

TEST_F(LegacyImportTest, NoOpensTheFileDialogAndCancellingItImportsNoAccounts) {
    WriteLegacyDatabase();
    ui_.messageAnswers = {MessageResult::No};
    OpenDatabase();
    ASSERT_EQ(ui_.fileDialogs.size(), 1u);
    EXPECT_EQ(ui_.fileDialogs[0].defaultName, "");  // the offered file was forgotten
    EXPECT_EQ(ui_.fileDialogs[0].filter, "Database Files (*.MDB)|*.MDB|All Files (*.*)|*.*");
    EXPECT_EQ(ui_.fileDialogs[0].defaultExtension, "MDB");
    EXPECT_EQ(Count("SELECT COUNT(*) FROM [Users]"), 0);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM [UserGroups]"), 23);
    EXPECT_FALSE(ui_.Showed("The Users database has been imported"));
}

// Groups that cannot be cleared are reported, and the import stops there instead of adding
// groups beside the old ones.
TEST_F(LegacyImportTest, GroupsThatCannotBeClearedAreReported) {
    WriteLegacyDatabase();
    ui_.messageAnswers = {MessageResult::Cancel};
    OpenDatabase();
    Database otherProgram;
    ASSERT_THAT(otherProgram.Open(UsersDatabasePath(locations_.DataLocation)), Succeeded());
    ASSERT_THAT(otherProgram.Execute("CREATE TRIGGER KeepGroups BEFORE DELETE ON UserGroups "
                                     "BEGIN SELECT RAISE(ABORT, 'the groups are kept'); END"),
                Succeeded());
    ui_.Clear();

    users_.ImportLegacyUsers(true);
    std::vector<std::string> shown = ui_.MessageTexts();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].rfind("There was a problem clearing the User Groups and the error's "
                             "description was reported as",
                             0),
              0u)
        << shown[0];
    EXPECT_TRUE(ui_.fileDialogs.empty());
    EXPECT_EQ(Count("SELECT COUNT(*) FROM [UserGroups]"), 23);
}

// Groups that were cleared must be written back: when the table cannot be reopened or a group
// is refused, the old groups stay, the failure is reported and no accounts are imported.
TEST_F(LegacyImportTest, GroupsThatCannotBeWrittenBackAreKept) {
    const struct {
        const char* otherProgramDoes;
        const char* report;
    } cases[] = {
        {"DROP INDEX [UserGroups.Main]", "There was a problem opening the User Groups"},
        {"CREATE TRIGGER RefuseGroups BEFORE INSERT ON UserGroups "
         "BEGIN SELECT RAISE(ABORT, 'no new groups'); END",
         "There was a problem adding the User Group 1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.otherProgramDoes);
        users_.CloseUsersDatabase();
        std::filesystem::remove_all(dir_ / "data/USERS");
        std::filesystem::create_directory(dir_ / "data/USERS");
        WriteLegacyDatabase();
        ui_.Clear();
        ui_.messageAnswers = {MessageResult::Cancel};
        OpenDatabase();
        Database otherProgram;
        ASSERT_THAT(otherProgram.Open(UsersDatabasePath(locations_.DataLocation)), Succeeded());
        ASSERT_THAT(otherProgram.Execute(
                        "UPDATE [UserGroups] SET [Name] = 'Night Shift' WHERE [GroupNumber] = 3"),
                    Succeeded());
        ASSERT_THAT(otherProgram.Execute(c.otherProgramDoes), Succeeded());
        ui_.Clear();

        ui_.fileAnswers.push_back(dir_ / "data/USERS/OLDUSERS.MDB");
        users_.ImportLegacyUsers(true);
        EXPECT_TRUE(ui_.ShowedOnly(c.report)) << ::testing::PrintToString(ui_.MessageTexts());
        EXPECT_TRUE(ui_.fileDialogs.empty());
        EXPECT_EQ(Count("SELECT COUNT(*) FROM [UserGroups]"), 23);
        EXPECT_EQ(Count("SELECT COUNT(*) FROM [UserGroups] WHERE [Name] = 'Night Shift'"), 1);
        EXPECT_EQ(Count("SELECT COUNT(*) FROM [Users]"), 0);
    }
}

TEST_F(LegacyImportTest, CancelImportsNothingButTheGroupsAreRewritten) {
    WriteLegacyDatabase();
    ui_.messageAnswers = {MessageResult::Cancel};
    OpenDatabase();
    EXPECT_TRUE(ui_.fileDialogs.empty());
    EXPECT_EQ(Count("SELECT COUNT(*) FROM [Users]"), 0);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM [UserGroups]"), 23);
    EXPECT_EQ(users_.Settings().FirstRun, 1);
}

}  // namespace
}  // namespace vantor
