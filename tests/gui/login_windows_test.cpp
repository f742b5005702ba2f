// The login and change-password windows driven through their controls, on a real users
// database.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "change_password_window.h"
#include "gui_test_support.h"
#include "login_window.h"
#include "modal_answers.h"
#include "modal_user_interface.h"
#include "qt_dialogs_users.h"
#include "users/change_password_model.h"
#include "users/login_model.h"
#include "users/users_dialogs.h"
#include "users/users_fixture.h"

namespace vantor {
namespace {

using gui::ChangePasswordWindow;
using gui::LoginWindow;
using testing::Account;
using testing::ModalAnswers;

// Real message boxes; a turn of the event loop also moves the test's clock on, so that the
// pause after a login comes to its end.
class WindowedUserInterface : public testing::ModalUserInterface {
  public:
    explicit WindowedUserInterface(FixedClock& clock) : clock_(clock) {}
    void ProcessEvents() override {
        ModalUserInterface::ProcessEvents();
        clock_.AdvanceSeconds(0.1);
    }

  private:
    FixedClock& clock_;
};

// The users windows opened as the program opens them.
class WindowedUsersDialogs : public UsersDialogs {
  public:
    bool RunLogin(LoginModel& model) override { return gui::RunLoginWindow(model, nullptr); }
    bool RunChangePassword(ChangePasswordModel& model) override {
        return gui::RunChangePasswordWindow(model, nullptr);
    }
};

template <typename T>
T* Find(QWidget* window, const char* name) {
    T* found = window->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
}

class LoginWindowsTest : public testing::UsersTest {
  protected:
    void SetUp() override {
        UsersTest::SetUp();
        OpenDatabase();
        AddGroup(3, {5});
    }
    // Logon as start-up runs it, with the windows on screen.
    bool RunLogon() {
        return Logon(session_, users_, locations_, windows_, dialogs_) == LogonOutcome::NobodyLoggedIn;
    }

    WindowedUserInterface windows_{clock_};
    WindowedUsersDialogs dialogs_;
    LoginSession session_;
    ModalAnswers answers_;
};

TEST_F(LoginWindowsTest, AWrongPasswordIsRefusedAndTheRightOneLogsIn) {
    AddAccount(Account("FRED", "SECRET").Group(3).PasswordSet(Today() - 1.0));
    answers_.Do<LoginWindow>([](LoginWindow* window) {
        EXPECT_EQ(window->objectName(), "frmLogin");
        EXPECT_EQ(window->windowTitle(), "User Login");
        EXPECT_EQ(gui::testing::ButtonsDeafToReturn(window).join(", ").toStdString(), "");
        EXPECT_EQ(gui::testing::ControlsWithoutTheirOwnName(window).join("; ").toStdString(), "");
        auto* ok = Find<QPushButton>(window, "LoginButton");
        auto* name = Find<QLineEdit>(window, "txtLogin");
        auto* password = Find<QLineEdit>(window, "txtPassword");
        EXPECT_FALSE(ok->isEnabled());
        QTest::keyClicks(name, "f;r-e.d");  // punctuation is swallowed, letters become capitals
        EXPECT_EQ(name->text(), "FRED");
        EXPECT_TRUE(ok->isEnabled());
        QTest::keyClicks(password, "wrong");
        EXPECT_EQ(password->displayText(), "*****");
        QTest::mouseClick(ok, Qt::LeftButton);  // refused: the message is answered below
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(name->text(), "");
        EXPECT_EQ(password->text(), "");
        EXPECT_EQ(window->focusWidget(), name);
    });
    answers_.Press(QMessageBox::Ok);
    answers_.Do<LoginWindow>([](LoginWindow* window) {
        auto* password = Find<QLineEdit>(window, "txtPassword");
        QTest::keyClicks(Find<QLineEdit>(window, "txtLogin"), "fred");
        QTest::keyClicks(password, "secret");
        QTest::keyClick(password, Qt::Key_Return);  // Enter reaches OK
    });

    EXPECT_FALSE(RunLogon());
    EXPECT_EQ(answers_.Pending(), 0u);
    ASSERT_EQ(answers_.Seen().size(), 1u);
    EXPECT_EQ(answers_.Seen()[0], "You have not entered a valid Username and Password");
    EXPECT_EQ(session_.loggedIn, 1);
    EXPECT_EQ(session_.currentUser.LoginName, "FRED");
    EXPECT_FALSE(session_.chooserCanEdit);  // group 3 may not manage databases
}

TEST_F(LoginWindowsTest, OptionsOpenTheChangePasswordChoiceAndCancelLeavesNobody) {
    AddAccount(Account("FRED", "SECRET").Group(3).PasswordSet(Today() - 1.0));
    answers_.Do<LoginWindow>([](LoginWindow* window) {
        auto* options = Find<QPushButton>(window, "cmdOptions");
        auto* tick = Find<QCheckBox>(window, "chkChangePassword");
        EXPECT_EQ(options->text(), "&Options >>");
        EXPECT_FALSE(tick->isVisible());
        const int closedHeight = window->height();
        QTest::mouseClick(options, Qt::LeftButton);
        EXPECT_EQ(options->text(), "&Options <<");
        EXPECT_TRUE(tick->isVisible());
        EXPECT_EQ(tick->text(), "After Login, I want to &change my password");
        EXPECT_GT(window->sizeHint().height(), closedHeight);
        QTest::mouseClick(options, Qt::LeftButton);
        EXPECT_FALSE(tick->isVisible());
        QTest::mouseClick(Find<QPushButton>(window, "CancelB"), Qt::LeftButton);
    });
    EXPECT_TRUE(RunLogon());
    EXPECT_EQ(answers_.Pending(), 0u);
    EXPECT_EQ(session_.loggedIn, 0);
}

TEST_F(LoginWindowsTest, AnExpiredPasswordLeadsToTheChangePasswordWindow) {
    AddAccount(Account("FRED", "SECRET").Group(3).PasswordSet(Today() - 40.0));
    SetUsersSetting("PasswordExpiryDays", "30");
    Reopen();
    answers_.Do<LoginWindow>([](LoginWindow* window) {
        QTest::keyClicks(Find<QLineEdit>(window, "txtLogin"), "FRED");
        QTest::keyClicks(Find<QLineEdit>(window, "txtPassword"), "SECRET");
        QTest::mouseClick(Find<QPushButton>(window, "LoginButton"), Qt::LeftButton);
    });
    answers_.Press(QMessageBox::Ok);  // "Your password has expired ..."
    answers_.Do<ChangePasswordWindow>([](ChangePasswordWindow* window) {
        EXPECT_EQ(window->objectName(), "frmChangePassword");
        EXPECT_EQ(window->windowTitle(), "Change Password");
        EXPECT_EQ(gui::testing::ButtonsDeafToReturn(window).join(", ").toStdString(), "");
        auto* old = Find<QLineEdit>(window, "txtOldPassword");
        auto* fresh = Find<QLineEdit>(window, "txtNewPassword");
        auto* again = Find<QLineEdit>(window, "txtReNewPassword");
        QTest::keyClicks(old, "secret");
        QTest::keyClicks(fresh, "newpass1234567");  // at most 12 characters
        QTest::keyClicks(again, "other");
        EXPECT_EQ(fresh->text(), "NEWPASS12345");
        EXPECT_EQ(again->displayText(), "*****");
        // Refused: the window stays open with the new boxes emptied.
        QTest::mouseClick(Find<QPushButton>(window, "OKB"), Qt::LeftButton);
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(old->text(), "SECRET");
        EXPECT_EQ(fresh->text(), "");
        EXPECT_EQ(again->text(), "");
        EXPECT_EQ(window->focusWidget(), fresh);
        QTest::keyClicks(fresh, "newpass");
        QTest::keyClicks(again, "newpass");
        QTest::keyClick(again, Qt::Key_Return);
    });
    answers_.Press(QMessageBox::Ok);  // the mismatch
    answers_.Press(QMessageBox::Ok);  // "Your password has been changed."

    EXPECT_FALSE(RunLogon());
    EXPECT_EQ(answers_.Pending(), 0u);
    EXPECT_EQ(answers_.Seen(),
              (std::vector<std::string>{
                  "Your password has expired\nYou must change it before you can continue.",
                  "The new and confirmed passwords do not match. Please type them again",
                  "Your password has been changed."}));
    EXPECT_EQ(session_.loggedIn, 1);
    std::string name = "FRED", password = "NEWPASS";
    CurrentUser user;
    EXPECT_EQ(users_.CheckLogin(name, password, user, true), login::kAccepted);
}

TEST_F(LoginWindowsTest, ThePadlockMovesOnItsTimer) {
    AddAccount(Account("FRED", "SECRET").Group(3));
    LoginModel model(users_, session_, locations_, windows_, dialogs_);
    model.Load();
    LoginWindow window(model);
    window.show();
    auto* timer = window.findChild<QTimer*>("tmrPicChange");
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->interval(), 250);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(model.Lock().Picture(), "locked1");
    ASSERT_TRUE(QTest::qWaitFor([&] { return model.Lock().Picture() == "locked2"; }, 2000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return model.Lock().Picture() == "locked1"; }, 2000));
    EXPECT_NE(window.findChild<QLabel*>("picSecurity")->pixmap().cacheKey(), 0);
    window.reject();
}

}  // namespace
}  // namespace vantor
