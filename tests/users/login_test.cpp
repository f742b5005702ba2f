#include <gtest/gtest.h>

#include "common/scramble.h"
#include "config/command_line.h"
#include "config/product_info.h"
#include "users/change_password_model.h"
#include "users/login_model.h"
#include "users_fixture.h"

namespace vantor {
namespace {

using testing::Account;
using testing::UsersTest;
using Box = LoginModel::Box;
using PwBox = ChangePasswordModel::Box;

class LoginTest : public UsersTest {
  protected:
    void SetUp() override {
        UsersTest::SetUp();
        OpenDatabase();
    }
    bool RunLogon(const std::string& commandLine = "") {
        locations_.CommandLine = ParseCommandLine(commandLine);
        return Logon(session_, users_, locations_, ui_, ui_) == LogonOutcome::NobodyLoggedIn;
    }
    void Type(LoginModel& window, const std::string& keys) {
        for (char key : keys) window.TypeKey(static_cast<unsigned char>(key));
    }

    LoginSession session_;
};

TEST(PasswordExpiry, ExpiresFromTheDaySetPlusTheExpiryDays) {
    struct Case {
        double setOn;
        int expiryDays;
        int today;
        bool expired;
    };
    const Case cases[] = {
        {45000, 30, 45029, false}, {45000, 30, 45030, true},  {45000.75, 30, 45030, true},
        {45000, 1, 45000, false},  {45000, 1, 45001, true},   {0, 30, 45000, true},
        {0, 0, 45000, false},      {45000, -5, 46000, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PasswordExpired(c.setOn, c.expiryDays, c.today), c.expired)
            << c.setOn << " + " << c.expiryDays << " on " << c.today;
}

TEST(LoginSessionDefaults, ChooserMayEditUntilALoginSaysOtherwise) {
    // An installation that does not ask users to log in never runs Logon: its operator holds
    // every right, so the database chooser must keep offering its management options.
    LoginSession session;
    EXPECT_TRUE(session.chooserCanEdit);
    EXPECT_FALSE(session.loggedIn);
}

TEST_F(LoginTest, WithoutAccountsTheNoUserAccountLogsInWithoutAWindow) {
    bool shown = false;
    ui_.onLogin = [&](LoginModel&) { return shown = true; };
    EXPECT_FALSE(RunLogon());
    EXPECT_FALSE(shown);
    EXPECT_TRUE(session_.loggedIn);
    EXPECT_EQ(session_.currentUser.LoginName, "NOUSER");
    EXPECT_EQ(session_.currentUser.FullName, "No Users in Database");
    EXPECT_EQ(session_.currentUser.GroupNumber, 1);
    EXPECT_TRUE(session_.currentUser.BuiltIn);
    for (int right = 1; right <= 6; ++right) EXPECT_TRUE(session_.currentUser.HasRight(right));
    EXPECT_TRUE(session_.chooserCanEdit);
}

TEST_F(LoginTest, CommandLineUserLogsInWithoutPasswordEvenWhenExpired) {
    AddAccount(Account("FRED", "X").Expires(Today() - 10.0).Group(3));
    AddGroup(3, {5});
    bool shown = false;
    ui_.onLogin = [&](LoginModel&) { return shown = true; };
    EXPECT_FALSE(RunLogon("/auto /user=fred /quit"));
    EXPECT_FALSE(shown);
    EXPECT_EQ(session_.currentUser.LoginName, "FRED");
    EXPECT_TRUE(session_.currentUser.HasRight(5));
    EXPECT_FALSE(session_.chooserCanEdit);
}

TEST_F(LoginTest, UnknownCommandLineUserFallsBackToTheWindowAndCancelEndsIt) {
    AddAccount(Account("FRED", "X"));
    int shown = 0;
    ui_.onLogin = [&](LoginModel& window) {
        ++shown;
        EXPECT_TRUE(window.IsVisible());
        window.Cancel();
        return false;
    };
    EXPECT_TRUE(RunLogon("/USER=GHOST"));
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(session_.loggedIn);
    EXPECT_TRUE(session_.commandLineLoginTaken);
    // The command-line login is taken once per run: the next time only the window asks.
    ui_.onLogin = [&](LoginModel&) { return ++shown, false; };
    EXPECT_TRUE(RunLogon("/USER=FRED"));
    EXPECT_EQ(shown, 2);
}

TEST_F(LoginTest, WrongThenRightPasswordThroughTheWindow) {
    AddAccount(Account("FRED", "SECRET").Group(3).FullName("Fred"));
    AddGroup(3, {5, 6});
    ui_.onLogin = [&](LoginModel& window) {
        EXPECT_EQ(window.LoginMaxLength(), 20);
        EXPECT_FALSE(window.OkEnabled());
        Type(window, "fred");
        EXPECT_TRUE(window.OkEnabled());
        window.SetFocus(Box::txtPassword);
        Type(window, "wrong\r");
        EXPECT_TRUE(window.IsVisible());
        EXPECT_EQ(window.LoginText(), "");
        EXPECT_EQ(window.PasswordText(), "");
        EXPECT_EQ(window.Focus(), Box::txtLogin);
        EXPECT_TRUE(window.OkEnabled());
        EXPECT_FALSE(session_.loggedIn);

        window.SetLoginText("FRED");
        window.SetPasswordText("SECRET");
        window.OK();
        EXPECT_FALSE(window.IsVisible());
        EXPECT_EQ(window.Lock().Picture(), "unlocked");
        return true;
    };
    EXPECT_FALSE(RunLogon());
    EXPECT_TRUE(ui_.Showed("You have not entered a valid Username and Password"));
    EXPECT_EQ(session_.currentUser.LoginName, "FRED");
    EXPECT_EQ(session_.currentUser.Password, "SECRET");
    EXPECT_TRUE(session_.chooserCanEdit);
    EXPECT_NEAR(AccountField("FRED", "LastLogin").AsDouble(), clock_.Now(), 1.0 / 86400);
    auto rows = History();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].status, 2);
    EXPECT_EQ(rows[1].status, 1);
    for (const auto& row : rows) {
        EXPECT_EQ(row.action, 1);
        EXPECT_EQ(row.loginName, "FRED");
        EXPECT_EQ(row.notes, kProductName);
    }
    EXPECT_EQ(ui_.cursor, MouseCursor::Default);
}

TEST_F(LoginTest, SupportAccountNeedsNoExpiryCheckAndLeavesNoLastLogin) {
    AddAccount(Account("FRED", "X"));
    SetUsersSetting("PasswordExpiryDays", "30");
    Reopen();
    ui_.onLogin = [&](LoginModel& window) {
        window.SetLoginText("tressel");
        window.SetPasswordText("veldomar");
        window.OK();
        return true;
    };
    bool changeShown = false;
    ui_.onChangePassword = [&](ChangePasswordModel&) { return changeShown = true; };
    EXPECT_FALSE(RunLogon());
    EXPECT_FALSE(changeShown);
    EXPECT_TRUE(ui_.messages.empty());
    EXPECT_EQ(session_.currentUser.LoginName, "TRESSEL");
    EXPECT_TRUE(session_.currentUser.HasRight(6));
    EXPECT_TRUE(AccountField("FRED", "LastLogin").IsNull());
}

TEST_F(LoginTest, KeysAreFilteredToCapitalLettersDigitsAndSpace) {
    struct Case {
        int key;
        int passed;
    };
    for (Case c : {Case{'a', 'A'}, Case{'Z', 'Z'}, Case{'7', '7'}, Case{' ', ' '}, Case{8, 8},
                   Case{'.', 0}, Case{'\'', 0}, Case{'-', 0}, Case{0xE9, 0}})
        EXPECT_EQ(LoginModel::FilterKey(c.key), c.passed) << c.key;

    AddAccount(Account("FRED", "X"));
    LoginModel window(users_, session_, locations_, ui_, ui_);
    window.Load();
    Type(window, "f'r-e.d");
    EXPECT_EQ(window.LoginText(), "FRED");
    Type(window, "\b");
    EXPECT_EQ(window.LoginText(), "FRE");
    // A full user name moves on to the password box.
    window.SetLoginText("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    EXPECT_EQ(window.LoginText(), "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(window.Focus(), Box::txtPassword);
    window.SetLoginText("   ");
    EXPECT_FALSE(window.OkEnabled());
}

TEST_F(LoginTest, OptionsAreaAndTheChangePasswordRequest) {
    AddAccount(Account("FRED", "OLD").PasswordSet(Today() * 1.0));
    LoginModel window(users_, session_, locations_, ui_, ui_);
    window.Load();
    EXPECT_EQ(window.OptionsCaption(), "&Options >>");
    EXPECT_FALSE(window.OptionsOpen());
    window.SetChangePasswordTicked(true);
    EXPECT_FALSE(window.ChangePasswordTicked());  // hidden: it cannot be ticked

    window.ToggleOptions();
    EXPECT_TRUE(window.OptionsOpen());
    EXPECT_EQ(window.OptionsCaption(), "&Options <<");
    window.SetChangePasswordTicked(true);
    EXPECT_TRUE(window.ChangePasswordTicked());

    bool changeShown = false;
    ui_.onChangePassword = [&](ChangePasswordModel& change) {
        changeShown = true;
        change.Cancel();
        return false;
    };
    window.SetLoginText("FRED");
    window.SetPasswordText("OLD");
    window.OK();
    EXPECT_TRUE(changeShown);  // asked for, though the password has not expired
    EXPECT_FALSE(window.IsVisible());
    EXPECT_TRUE(session_.loggedIn);
}

TEST_F(LoginTest, ExpiredPasswordMustBeChangedBeforeTheLoginCompletes) {
    AddAccount(Account("FRED", "OLD").PasswordSet(Today() - 30.0));
    SetUsersSetting("PasswordExpiryDays", "30");
    Reopen();
    const std::string expired =
        "Your password has expired\nYou must change it before you can continue.";

    LoginModel window(users_, session_, locations_, ui_, ui_);
    window.Load();
    ui_.onChangePassword = [](ChangePasswordModel& change) {
        change.Cancel();
        return false;
    };
    window.SetLoginText("FRED");
    window.SetPasswordText("OLD");
    window.OK();
    EXPECT_TRUE(ui_.Showed(expired));
    EXPECT_TRUE(window.IsVisible());  // closed without a change: still at the login
    EXPECT_FALSE(session_.loggedIn);
    EXPECT_EQ(window.LoginText(), "FRED");
    EXPECT_TRUE(window.OkEnabled());

    ui_.onChangePassword = [](ChangePasswordModel& change) {
        change.SetText(PwBox::txtOldPassword, "old");
        change.SetText(PwBox::txtNewPassword, "new");
        change.SetText(PwBox::txtReNewPassword, "new");
        change.OK();
        return true;
    };
    window.SetPasswordText("OLD");
    window.OK();
    EXPECT_FALSE(window.IsVisible());
    EXPECT_TRUE(session_.loggedIn);
    EXPECT_TRUE(ui_.Showed("Your password has been changed."));
    EXPECT_EQ(AccountField("FRED", "LastPasswordSetDate").AsDouble(), Today());

    // Changed today: the next login goes straight through.
    ui_.Clear();
    LoginSession next;
    LoginModel again(users_, next, locations_, ui_, ui_);
    again.Load();
    again.SetLoginText("FRED");
    again.SetPasswordText("NEW");
    again.OK();
    EXPECT_TRUE(next.loggedIn);
    EXPECT_FALSE(ui_.Showed(expired));
}

class ChangePasswordTest : public LoginTest {
  protected:
    void SetUp() override {
        LoginTest::SetUp();
        AddAccount(Account("FRED", "OLD").PasswordSet(40000.0));
        user_.LoginName = "FRED";
        user_.Password = "OLD";
    }
    void Fill(ChangePasswordModel& change, const char* old, const char* fresh,
              const char* confirm) {
        change.SetText(PwBox::txtOldPassword, old);
        change.SetText(PwBox::txtNewPassword, fresh);
        change.SetText(PwBox::txtReNewPassword, confirm);
    }
    CurrentUser user_;
};

TEST_F(ChangePasswordTest, RefusalsInTheirOrderKeepTheWindowOpen) {
    ChangePasswordModel change(users_, user_, ui_);
    change.Load();
    ASSERT_FALSE(change.IsClosed());

    Fill(change, "WRONG", "NEW", "NEW");
    change.OK();
    EXPECT_TRUE(ui_.Showed("You have not entered your old password correctly"));
    EXPECT_FALSE(change.IsClosed());
    EXPECT_EQ(change.Text(PwBox::txtOldPassword), "");
    EXPECT_EQ(change.Text(PwBox::txtNewPassword), "");
    EXPECT_EQ(change.Text(PwBox::txtReNewPassword), "");
    EXPECT_EQ(change.Focus(), PwBox::txtOldPassword);

    Fill(change, "OLD", "NEW", "NEWER");
    change.OK();
    EXPECT_TRUE(ui_.Showed("The new and confirmed passwords do not match. Please type them again"));
    EXPECT_FALSE(change.IsClosed());
    EXPECT_EQ(change.Text(PwBox::txtOldPassword), "OLD");
    EXPECT_EQ(change.Text(PwBox::txtNewPassword), "");
    EXPECT_EQ(change.Focus(), PwBox::txtNewPassword);
    EXPECT_EQ(AccountField("FRED", "Password").AsText(), ScrambleText("OLD"));

    // Keys arrive as capitals and the boxes hold at most twelve characters.
    change.SetText(PwBox::txtNewPassword, "");
    for (char key : std::string("abcdefghijklmnop")) change.TypeKey(PwBox::txtNewPassword, key);
    EXPECT_EQ(change.Text(PwBox::txtNewPassword), "ABCDEFGHIJKL");

    // Only what the login boxes take can go into a new password, or nobody could log in with it.
    change.SetText(PwBox::txtReNewPassword, "");
    for (int key : std::initializer_list<int>{'m', '-', 'y', '.', ' ', '1', '!', 0xE9, 8, '2'})
        change.TypeKey(PwBox::txtReNewPassword, key);
    EXPECT_EQ(change.Text(PwBox::txtReNewPassword), "MY 2");

    // Text pasted into the boxes skips the key filter; the password is still refused.
    Fill(change, "OLD", "MY-PASS", "my-pass");
    change.OK();
    EXPECT_TRUE(ui_.Showed("A password may hold only letters, digits and spaces"));
    EXPECT_FALSE(change.IsClosed());
    EXPECT_EQ(change.Text(PwBox::txtNewPassword), "");
    EXPECT_EQ(change.Text(PwBox::txtReNewPassword), "");
    EXPECT_EQ(AccountField("FRED", "Password").AsText(), ScrambleText("OLD"));
}

TEST_F(ChangePasswordTest, EmptyNewPasswordDependsOnTheUsersSetting) {
    {
        ChangePasswordModel change(users_, user_, ui_);
        change.Load();
        Fill(change, "OLD", "", "");
        change.OK();
        EXPECT_TRUE(change.IsClosed());
        EXPECT_TRUE(change.PasswordChanged());
        EXPECT_EQ(AccountField("FRED", "Password").AsText(), "");
    }
    SetUsersSetting("AllowEmptyPasswords", "0");
    Reopen();
    ChangePasswordModel change(users_, user_, ui_);
    change.Load();
    Fill(change, "OLD", "  ", "  ");
    change.OK();
    EXPECT_TRUE(ui_.Showed("You must enter a password"));
    EXPECT_FALSE(change.IsClosed());
}

TEST_F(ChangePasswordTest, AccountsOutsideTheUsersTableCannotChangeTheirPassword) {
    // An account row that calls itself NOUSER stands for the no-user login.
    CurrentUser noUser;
    noUser.LoginName = " NOUSER ";
    ChangePasswordModel forNoUser(users_, noUser, ui_);
    forNoUser.Load();
    EXPECT_TRUE(forNoUser.IsClosed());
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].request.text,
              "You must create a user account and login before you can change its password");
    EXPECT_EQ(ui_.messages[0].request.icon, MessageIcon::Warning);

    CurrentUser support;
    std::string name = "TRESSEL", password = "VELDOMAR";
    users_.CheckLogin(name, password, support, true);
    ChangePasswordModel forSupport(users_, support, ui_);
    forSupport.Load();
    EXPECT_TRUE(forSupport.IsClosed());
    EXPECT_EQ(ui_.messages.size(), 1u);  // closed without a word
}

}  // namespace
}  // namespace vantor
