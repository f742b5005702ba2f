#include "users_fixture.h"

#include <filesystem>

#include "common/scramble.h"
#include "dbengine/database_file.h"

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
    ASSERT_EQ(Open(), 0) << ::testing::PrintToString(ui_.MessageTexts());
}

void UsersTest::AddAccount(const Account& account) {
    TableCursor row;
    ASSERT_FALSE(usersDb_.OpenTable("Users", row, "Main"));
    ASSERT_FALSE(row.AddNew());
    auto date = [](const std::optional<double>& value) {
        return value ? DbValue(*value) : DbValue();
    };
    ASSERT_FALSE(row.Set("LoginName", account.loginName));
    ASSERT_FALSE(row.Set("Password", ScrambleText(account.password, false)));
    ASSERT_FALSE(row.Set("FullName", account.fullName));
    ASSERT_FALSE(row.Set("AccountStatus", account.accountStatus));
    ASSERT_FALSE(row.Set("ExpirationDate", date(account.expirationDate)));
    ASSERT_FALSE(row.Set("DeletionDate", date(account.deletionDate)));
    ASSERT_FALSE(row.Set("LastPasswordSetDate", date(account.lastPasswordSetDate)));
    ASSERT_FALSE(row.Set("OverrideAccessRights", account.overrideRights));
    ASSERT_FALSE(row.Set("GroupNumber", account.group));
    for (int right = 1; right <= 6; ++right) {
        bool granted = false;
        for (int r : account.rights) granted = granted || r == right;
        ASSERT_FALSE(row.Set("AccessRight" + std::to_string(right), granted));
    }
    ASSERT_FALSE(row.Update());
}

void UsersTest::AddGroup(int32_t number, std::vector<int> rights) {
    TableCursor row;
    ASSERT_FALSE(usersDb_.OpenTable("UserGroups", row, "Main"));
    ASSERT_FALSE(row.AddNew());
    ASSERT_FALSE(row.Set("GroupNumber", number));
    for (int right = 1; right <= 6; ++right) {
        bool granted = false;
        for (int r : rights) granted = granted || r == right;
        ASSERT_FALSE(row.Set("AccessRight" + std::to_string(right), granted));
    }
    ASSERT_FALSE(row.Update());
}

void UsersTest::AddPreference(const std::string& loginName, const std::string& name) {
    ASSERT_FALSE(usersDb_.Execute(
        "INSERT INTO [UserPreferences] ([LoginName], [Name], [Preference]) VALUES (?, ?, ?)",
        {DbValue(loginName), DbValue(name), DbValue("value")}));
}

void UsersTest::AddHistory(double eventTime, const std::string& loginName) {
    ASSERT_FALSE(usersDb_.Execute(
        "INSERT INTO [UserHistory] ([EventTime], [LoginName], [Action], [Status]) "
        "VALUES (?, ?, 1, 1)",
        {DbValue(eventTime), DbValue(loginName)}));
}

void UsersTest::SetUsersSetting(const std::string& item, const std::string& value) {
    TableCursor settings;
    ASSERT_FALSE(usersDb_.OpenTable("Settings", settings, "Main"));
    ASSERT_EQ(SetDbSetting(ui_, settings, item, DbValue(value), DbValue("<none>"), false), 0);
}

std::vector<HistoryRow> UsersTest::History() {
    std::vector<HistoryRow> rows;
    QueryResult result;
    EXPECT_FALSE(usersDb_.Query("SELECT * FROM [UserHistory] ORDER BY [EventTime]", {}, result));
    while (result.IsOpen() && !result.Eof()) {
        rows.push_back({result.Field("EventTime").AsDouble(), result.Field("LoginName").AsText(),
                        static_cast<int32_t>(result.Field("Action").AsInteger()),
                        static_cast<int32_t>(result.Field("Status").AsInteger()),
                        result.Field("Notes").AsText()});
        if (result.MoveNext()) break;
    }
    return rows;
}

DbValue UsersTest::AccountField(const std::string& loginName, const std::string& field) {
    QueryResult result;
    if (usersDb_.Query("SELECT * FROM [Users] WHERE [LoginName]=?", {DbValue(loginName)},
                          result) ||
        result.Eof())
        return DbValue();
    return result.Field(field);
}

long long UsersTest::Count(const std::string& sql) {
    QueryResult result;
    if (usersDb_.Query(sql, {}, result) || result.Eof()) return -1;
    return result.Field(0).AsInteger();
}

}  // namespace vantor::testing
