// Accounts made and listed without a window, and the rules every new name and password meets.
#include <gtest/gtest.h>

#include "common/scramble.h"
#include "support/succeeded.h"
#include "users/account_rules.h"
#include "users_fixture.h"

namespace vantor {
namespace {

using testing::Account;
using testing::UsersBackendTest;
using testing::UsersTest;

std::array<bool, 6> Rights(std::initializer_list<int> granted) {
    std::array<bool, 6> rights{};
    for (int right : granted) rights[static_cast<size_t>(right - 1)] = true;
    return rights;
}

TEST(AccountRules, NewPasswords) {
    UsersSettings allowEmpty;
    UsersSettings forbidEmpty;
    forbidEmpty.AllowEmptyPasswords = 0;
    struct Case {
        const char* password;
        const char* repetition;
        const UsersSettings& settings;
        PasswordCheck expected;
    };
    const Case cases[] = {
        {"secret", "SECRET", forbidEmpty, PasswordCheck::Acceptable},
        {" my 2 ", "MY 2", forbidEmpty, PasswordCheck::Acceptable},
        {"", "", allowEmpty, PasswordCheck::Acceptable},
        {"  ", "", forbidEmpty, PasswordCheck::Empty},
        {"secret", "secrets", allowEmpty, PasswordCheck::Mismatch},
        {"", "x", allowEmpty, PasswordCheck::Mismatch},
        {"ABCDEFGHIJKL", "abcdefghijkl", allowEmpty, PasswordCheck::Acceptable},
        {"ABCDEFGHIJKLM", "ABCDEFGHIJKLM", allowEmpty, PasswordCheck::TooLong},
        {"pass-word", "PASS-WORD", allowEmpty, PasswordCheck::NotTypable},
        {"caf\xC3\xA9", "CAF\xC3\xA9", allowEmpty, PasswordCheck::NotTypable},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckNewPassword(c.password, c.repetition, c.settings), c.expected)
            << "'" << c.password << "' / '" << c.repetition << "'";
}

TEST(AccountRules, NewLoginNames) {
    struct Case {
        const char* name;
        LoginNameCheck expected;
    };
    const Case cases[] = {
        {"fred", LoginNameCheck::Acceptable},
        {" Mary Ann ", LoginNameCheck::Acceptable},
        {"ABCDEFGHIJKLMNOPQRST", LoginNameCheck::Acceptable},
        {"", LoginNameCheck::Empty},
        {"   ", LoginNameCheck::Empty},
        {"ABCDEFGHIJKLMNOPQRSTU", LoginNameCheck::TooLong},
        {"fred.smith", LoginNameCheck::NotTypable},
        {"../etc", LoginNameCheck::NotTypable},
        {"tressel", LoginNameCheck::Reserved},
        {"DAYCODE", LoginNameCheck::Reserved},
        {"NoUser", LoginNameCheck::Reserved},
        {"system", LoginNameCheck::Reserved},
    };
    for (const Case& c : cases) EXPECT_EQ(CheckNewLoginName(c.name, 20), c.expected) << c.name;
}

TEST(AccountRules, RightsLists) {
    EXPECT_EQ(ParseRightsList("5,6"), Rights({5, 6}));
    EXPECT_EQ(ParseRightsList(" 6 , 1,6"), Rights({1, 6}));
    EXPECT_EQ(ParseRightsList(""), Rights({}));
    for (const char* bad : {"0", "7", "5,,6", "56", "five", "5,", "-5", "5;6"})
        EXPECT_FALSE(ParseRightsList(bad)) << bad;
    EXPECT_EQ(RightsListText(Rights({1, 5, 6})), "1,5,6");
    EXPECT_EQ(RightsListText(Rights({})), "-");
}

TEST_P(UsersBackendTest, AnAddedAccountLogsInWithItsPasswordAndOwnRights) {
    OpenDatabase();
    AddGroup(0, {1, 2, 3, 4, 5, 6});  // a group 0 with every right must not lend them
    ASSERT_EQ(users_.AddUser(" anna ", "secret", Rights({5})), UsersDatabase::AccountOutcome::Done);

    EXPECT_EQ(AccountField("ANNA", "Password").AsText(), ScrambleText("SECRET"));
    EXPECT_EQ(AccountField("ANNA", "AccountStatus").AsInteger(), 1);
    EXPECT_EQ(AccountField("ANNA", "LastPasswordSetDate").AsDouble(), Today());
    EXPECT_TRUE(AccountField("ANNA", "ExpirationDate").IsNull());
    EXPECT_TRUE(AccountField("ANNA", "DeletionDate").IsNull());
    EXPECT_EQ(AccountField("ANNA", "FullName").AsText(), "");

    std::string name = "anna", password = "secret";
    CurrentUser user;
    ASSERT_EQ(users_.CheckLogin(name, password, user, true), login::kAccepted);
    EXPECT_EQ(user.AccessRights, Rights({5}));
    password = "wrong";
    EXPECT_EQ(users_.CheckLogin(name, password, user, true), login::kWrongPassword);
}

TEST_F(UsersTest, AddUserRefusesAndChangesNothing) {
    OpenDatabase();
    AddAccount(Account("FRED", "OLD"));
    SetUsersSetting("AllowEmptyPasswords", "0");
    Reopen();
    struct Case {
        const char* name;
        const char* password;
        const char* message;
    };
    const Case cases[] = {
        {"fred", "new", "There is already an account named 'FRED'"},
        {"Daycode", "9779", "'DAYCODE' is the name of a built-in account and cannot be used"},
        {"a/b", "x", "A login name may hold only letters, digits and spaces"},
        {"ANNA", "", "You must enter a password"},
        {"ANNA", "pass.word", "A password may hold only letters, digits and spaces"},
    };
    for (const Case& c : cases) {
        ui_.messages.clear();
        EXPECT_EQ(users_.AddUser(c.name, c.password, Rights({5})),
                  UsersDatabase::AccountOutcome::Refused)
            << c.name;
        EXPECT_TRUE(ui_.Showed(c.message)) << c.name;
    }
    EXPECT_EQ(Count("SELECT COUNT(*) FROM [Users]"), 1);
    EXPECT_EQ(AccountField("FRED", "Password").AsText(), ScrambleText("OLD"));
}

TEST_P(UsersBackendTest, ListUsersGivesTheRightsThatApplyAndTheLastLogin) {
    OpenDatabase();
    AddGroup(3, {5});
    AddAccount(Account("GROUPED", "A").Group(3));
    AddAccount(Account("OWN", "B").Group(3).OwnRights(true).Rights({6}));
    AddAccount(Account("ORPHAN", "C").Group(99));
    users_.RecordLastLogin("OWN");

    std::vector<AccountSummary> accounts;
    ASSERT_THAT(users_.ListUsers(accounts), Succeeded());
    ASSERT_EQ(accounts.size(), 3u);
    EXPECT_EQ(accounts[0].loginName, "GROUPED");
    EXPECT_EQ(accounts[0].rights, Rights({5}));
    EXPECT_FALSE(accounts[0].lastLogin);
    EXPECT_EQ(accounts[1].loginName, "ORPHAN");
    EXPECT_EQ(accounts[1].rights, Rights({}));
    EXPECT_EQ(accounts[2].loginName, "OWN");
    EXPECT_EQ(accounts[2].rights, Rights({6}));
    ASSERT_TRUE(accounts[2].lastLogin);
    EXPECT_DOUBLE_EQ(*accounts[2].lastLogin, clock_.Now());
}

}  // namespace
}  // namespace vantor
