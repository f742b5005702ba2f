#include "users_fixture.h"

#include <filesystem>

#include "common/scramble.h"
#include "dbengine/database_file.h"
#include "support/succeeded.h"

namespace vantor::testing {

void UsersTest::SetUp() {
    const char* previous = std::getenv("VANTOR_WINDIR");
    hadWindir_ = previous != nullptr;
    if (previous) previousWindir_ = previous;
    setenv("VANTOR_WINDIR", (dir_ / "windows").c_str(), 1);
    std::filesystem::create_directories(dir_ / "windows");
    std::filesystem::create_directories(dir_ / "data/USERS");
    locations_.DataLocation = dir_ / "data";
}

void UsersTest::TearDown() {
    users_.CloseUsersDatabase();
    if (hadWindir_)
        setenv("VANTOR_WINDIR", previousWindir_.c_str(), 1);
    else
        unsetenv("VANTOR_WINDIR");
}

void UsersTest::OpenDatabase() {
    ASSERT_THAT(Open(), Succeeded()) << ::testing::PrintToString(ui_.MessageTexts());
}

void UsersTest::AddAccount(const Account& account) {
    TableCursor row;
    ASSERT_THAT(usersDb_.OpenTable("Users", row, "Main"), Succeeded());
    ASSERT_THAT(row.AddNew(), Succeeded());
    auto date = [](const std::optional<double>& value) {
        return value ? DbValue(*value) : DbValue();
    };
    ASSERT_THAT(row.Set("LoginName", account.loginName), Succeeded());
    ASSERT_THAT(row.Set("Password", ScrambleText(account.password, false)), Succeeded());
    ASSERT_THAT(row.Set("FullName", account.fullName), Succeeded());
    ASSERT_THAT(row.Set("AccountStatus", account.accountStatus), Succeeded());
    ASSERT_THAT(row.Set("ExpirationDate", date(account.expirationDate)), Succeeded());
    ASSERT_THAT(row.Set("DeletionDate", date(account.deletionDate)), Succeeded());
    ASSERT_THAT(row.Set("LastPasswordSetDate", date(account.lastPasswordSetDate)), Succeeded());
    ASSERT_THAT(row.Set("OverrideAccessRights", account.overrideRights), Succeeded());
    ASSERT_THAT(row.Set("GroupNumber", account.group), Succeeded());
    for (int right = 1; right <= 6; ++right) {
        bool granted = false;
        for (int r : account.rights) granted = granted || r == right;
        ASSERT_THAT(row.Set("AccessRight" + std::to_string(right), granted), Succeeded());
    }
    ASSERT_THAT(row.Update(), Succeeded());
}

void UsersTest::AddGroup(int32_t number, std::vector<int> rights) {
    TableCursor row;
    ASSERT_THAT(usersDb_.OpenTable("UserGroups", row, "Main"), Succeeded());
    ASSERT_THAT(row.AddNew(), Succeeded());
    ASSERT_THAT(row.Set("GroupNumber", number), Succeeded());
    for (int right = 1; right <= 6; ++right) {
        bool granted = false;
        for (int r : rights) granted = granted || r == right;
        ASSERT_THAT(row.Set("AccessRight" + std::to_string(right), granted), Succeeded());
    }
    ASSERT_THAT(row.Update(), Succeeded());
}

void UsersTest::AddPreference(const std::string& loginName, const std::string& name) {
    ASSERT_THAT(
        usersDb_.Execute(
            "INSERT INTO [UserPreferences] ([LoginName], [Name], [Preference]) VALUES (?, ?, ?)",
            {DbValue(loginName), DbValue(name), DbValue("value")}),
        Succeeded());
}

void UsersTest::AddHistory(double eventTime, const std::string& loginName) {
    ASSERT_THAT(
        usersDb_.Execute("INSERT INTO [UserHistory] ([EventTime], [LoginName], [Action], [Status]) "
                         "VALUES (?, ?, 1, 1)",
                         {DbValue(eventTime), DbValue(loginName)}),
        Succeeded());
}

void UsersTest::SetUsersSetting(const std::string& item, const std::string& value) {
    TableCursor settings;
    ASSERT_THAT(usersDb_.OpenTable("Settings", settings, "Main"), Succeeded());
    ASSERT_THAT(SetDbSetting(ui_, settings, item, DbValue(value), DbValue("<none>"), false),
                Succeeded());
}

std::vector<HistoryRow> UsersTest::History() {
    std::vector<HistoryRow> rows;
    QueryResult result;
    EXPECT_THAT(usersDb_.Query("SELECT * FROM [UserHistory] ORDER BY [EventTime]", {}, result),
                Succeeded());
    while (result.IsOpen() && !result.Eof()) {
        rows.push_back({result.Field("EventTime").AsDouble(), result.Field("LoginName").AsText(),
                        static_cast<int32_t>(result.Field("Action").AsInteger()),
                        static_cast<int32_t>(result.Field("Status").AsInteger()),
                        result.Field("Notes").AsText()});
        if (!result.MoveNext().Ok()) break;
    }
    return rows;
}

DbValue UsersTest::AccountField(const std::string& loginName, const std::string& field) {
    QueryResult result;
    if (!usersDb_.Query("SELECT * FROM [Users] WHERE [LoginName]=?", {DbValue(loginName)}, result)
             .Ok() ||
        result.Eof())
        return DbValue();
    return result.Field(field);
}

long long UsersTest::Count(const std::string& sql) {
    QueryResult result;
    if (!usersDb_.Query(sql, {}, result).Ok() || result.Eof()) return -1;
    return result.Field(0).AsInteger();
}

}  // namespace vantor::testing
