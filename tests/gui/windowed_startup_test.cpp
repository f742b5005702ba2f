// Start-up on an installation that asks users to log in and holds two playout databases, with
// the login window and the database chooser on screen: the user logs in, chooses a database,
// and the main window's caption names the chosen database.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "common/scramble.h"
#include "database_chooser.h"
#include "dbengine/database_file.h"
#include "dbengine/engine.h"
#include "dbengine/schema.h"
#include "playoutdb/playout_tables.h"
#include "importer/main_window_model.h"
#include "login_window.h"
#include "modal_answers.h"
#include "modal_user_interface.h"
#include "qt_dialogs_chooser.h"
#include "qt_dialogs_users.h"
#include "session/dialogs.h"
#include "session/session.h"
#include "support/kora_installation.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "support/succeeded.h"
#include "users/users_database.h"

namespace vantor {
namespace {

using testing::ModalAnswers;
using testing::ScopedEnv;

class ClockedWindows : public testing::ModalUserInterface {
  public:
    explicit ClockedWindows(FixedClock& clock) : clock_(clock) {}
    void ProcessEvents() override {
        ModalUserInterface::ProcessEvents();
        clock_.AdvanceSeconds(0.1);
    }

  private:
    FixedClock& clock_;
};

// The windows of the program as the windowed program opens them; what this test does not
// expect is refused.
class WindowDialogs : public Dialogs {
  public:
    explicit WindowDialogs(UserInterface& ui) : ui_(ui) {}
    const Session* session = nullptr;

    bool RunConfigSet(ConfigSetModel&) override { return false; }
    bool RunFileLocations(FileLocationsModel&) override { return false; }
    bool RunLogin(LoginModel& model) override { return gui::RunLoginWindow(model, nullptr); }
    bool RunChangePassword(ChangePasswordModel& model) override {
        return gui::RunChangePasswordWindow(model, nullptr);
    }
    std::string ChooseDatabase(const std::string& searchDirectory,
                               const std::string& typeTag) override {
        return gui::ChooseDatabaseInWindow(nullptr, ui_, searchDirectory, typeTag,
                                           session->login.chooserCanEdit);
    }
    std::string BrowseCarts(const std::string&) override { return ""; }
    void RunDateHourPicker(DateHourPickerModel&) override {}
    void ShowImportSettings() override {}
    void EditPlayoutSettings(const std::string&) override {}

  private:
    UserInterface& ui_;
};

TEST(WindowedStartup, LoginWindowThenChooserThenTheChosenDatabaseInTheCaption) {
    testing::TempDir dir;
    testing::InstallationOptions options;
    options.usersMustLogin = 1;
    options.description = "Main studio";
    testing::KoraInstallation station(dir.path(), options);
    ScopedEnv windir("VANTOR_WINDIR", station.windowsDirectory);
    ScopedEnv programDir("VANTOR_PROGRAM_DIR", station.programDirectory);
    ScopedEnv traceDir("VANTOR_TRACE_DIR", station.traceDirectory);

    FixedClock clock{2000, 3, 5, 9, 30};
    ClockedWindows ui{clock};
    {
        // A second playout database, and one account allowed to import and to manage.
        std::string second = station.dataLocation + "/SCHEDULE/STUDIO2.MDB";
        std::string description = "Second studio";
        ASSERT_EQ(EnsureDatabaseFile(ui, second, 14, true, description), 0);
        ASSERT_THAT(VerifyPlayoutDatabase(ui, second), Succeeded());
        SystemLocations locations;
        locations.DataLocation = station.dataLocation;
        Database connection;
        UsersDatabase users(ui, clock, locations, connection);
        ASSERT_THAT(users.OpenUsersDatabase(UsersDatabasePath(station.dataLocation)), Succeeded());
        ASSERT_THAT(
            connection.Execute(
                "INSERT INTO Users (LoginName, Password, AccountStatus, OverrideAccessRights, "
                "AccessRight5, AccessRight6) VALUES (?, ?, 1, ?, ?, ?)",
                {DbValue("FRED"), DbValue(ScrambleText("SECRET")), DbValue(true), DbValue(true),
                 DbValue(true)}),
            Succeeded());
        users.CloseUsersDatabase();
    }
    ASSERT_TRUE(ui.messages.empty()) << ui.messages.front().request.text;

    WindowDialogs dialogs(ui);
    Session session(ui, dialogs, clock);
    dialogs.session = &session;
    LogImportModel mainWindow(session);

    std::vector<std::string> shown;
    ModalAnswers answers;
    answers.Do<gui::LoginWindow>([&](gui::LoginWindow* window) {
        shown.push_back(window->objectName().toStdString());
        QTest::keyClicks(window->findChild<QLineEdit*>("txtLogin"), "fred");
        QTest::keyClicks(window->findChild<QLineEdit*>("txtPassword"), "secret");
        QTest::mouseClick(window->findChild<QPushButton*>("LoginButton"), Qt::LeftButton);
    });
    auto list = [](gui::DatabaseChooser* window) {
        return window->findChild<QListWidget*>("lViewDatabasesIcons");
    };
    answers.Do<gui::DatabaseChooser>(
        [&](gui::DatabaseChooser* window) {
            shown.push_back(window->objectName().toStdString());
            EXPECT_TRUE(window->findChild<QAction*>("mnuNewDatabase")->isEnabled());
            QRect place = list(window)->visualItemRect(list(window)->item(1));  // "Second studio"
            QTest::mouseClick(list(window)->viewport(), Qt::LeftButton, {}, place.center());
            QTest::mouseDClick(list(window)->viewport(), Qt::LeftButton, {}, place.center());
        },
        [&](gui::DatabaseChooser* window) { return list(window)->count() == 2; });
    answers.Press(QMessageBox::Ok);  // the station has no scheduler logs yet

    ASSERT_TRUE(mainWindow.Load(StartupCommand{})) << ::testing::PrintToString(ui.MessageTexts());
    EXPECT_EQ(answers.Pending(), 0u);
    EXPECT_EQ(shown, (std::vector<std::string>{"frmLogin", "frmChooseDatabase"}));
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0].rfind("No valid log entries were found.", 0), 0u);
    EXPECT_EQ(session.login.currentUser.LoginName, "FRED");
    EXPECT_EQ(mainWindow.DatabaseFile(), "STUDIO2.MDB");
    EXPECT_EQ(mainWindow.Caption(), "Vantor Log Import : Second studio");
    mainWindow.Close();
}

}  // namespace
}  // namespace vantor
