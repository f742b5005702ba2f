// Pictures of the database chooser (details view, three databases) and of the login and
// change-password windows, one PNG each, for looking at them side by side:
//
//   vantor-chooser-login-pictures OUTPUT_DIRECTORY
//
// The windows are shown on a scratch installation in a temporary directory (three Kora
// databases, a users database with one account) and drawn with their own painting, so the
// program works on a virtual display (xvfb-run) and off screen alike.

#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <filesystem>

#include "change_password_window.h"
#include "common/clock.h"
#include "common/scramble.h"
#include "config/system_locations.h"
#include "database_chooser.h"
#include "dbengine/database_file.h"
#include "dbengine/engine.h"
#include "demo/silent_user_interface.h"
#include "login_window.h"
#include "users/change_password_model.h"
#include "window_picture.h"
#include "users/current_user.h"
#include "users/login_model.h"
#include "users/users_database.h"
#include "users/users_dialogs.h"

namespace {

using namespace vantor;

// The windows open nothing further while their pictures are taken.
class NoNestedWindows : public UsersDialogs {
  public:
    bool RunLogin(LoginModel&) override { return false; }
    bool RunChangePassword(ChangePasswordModel&) override { return false; }
};

bool Save(QWidget& window, const QString& directory, const char* name) {
    QTest::qWait(100);
    const QString path = QDir(directory).filePath(QString(name) + ".png");
    if (!gui::PictureOfWindow(&window).save(path)) {
        std::fprintf(stderr, "could not write %s\n", path.toLocal8Bit().constData());
        return false;
    }
    std::printf("%s\n", path.toLocal8Bit().constData());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIRECTORY\n", argv[0]);
        return 2;
    }
    const QString output = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(output);
    QTemporaryDir scratch;
    if (!scratch.isValid()) return 1;
    const std::string root = scratch.path().toStdString();
    // The chooser's view preference goes to this installation's registry, not the user's.
    qputenv("VANTOR_WINDIR", QByteArray::fromStdString(root + "/windows"));
    std::filesystem::create_directories(root + "/windows");
    std::filesystem::create_directories(root + "/data/SCHEDULE");
    std::filesystem::create_directories(root + "/data/USERS");

    demo::SilentUserInterface ui;
    const std::string schedule = root + "/data/SCHEDULE";
    for (auto [file, title] : {std::pair{"KORA26.MDB", "Main studio"},
                               {"STUDIO2.MDB", "Second studio"},
                               {"NIGHT.MDB", "Night shift automation"}}) {
        std::string description = title;
        if (EnsureDatabaseFile(ui, schedule + "/" + file, 14, true, description) != 0) return 1;
    }
    bool saved = true;
    {
        DatabaseChooserModel model(ui);
        model.SetSearchDirectory(schedule);
        model.SetDatabaseType(14);
        gui::DatabaseChooser window(model);
        window.show();
        if (!QTest::qWaitFor([&] { return model.Items().size() == 3; })) return 1;
        model.SetView(ChooserView::Details);
        window.Refresh();
        saved = Save(window, output, "frmChooseDatabase") && saved;
        // The other views, as the View menu offers them.
        for (auto [view, name] :
             {std::pair{ChooserView::LargeIcons, "frmChooseDatabase-large-icons"},
              {ChooserView::SmallIcons, "frmChooseDatabase-small-icons"},
              {ChooserView::List, "frmChooseDatabase-list"}}) {
            model.SetView(view);
            window.Refresh();
            saved = Save(window, output, name) && saved;
        }
        // The Options menu as it drops down, with the import of a Windows database at its end.
        if (QMenu* options = window.findChild<QMenu*>("mnuOptions")) {
            options->popup(window.mapToGlobal(QPoint(10, 10)));
            if (!QTest::qWaitForWindowExposed(options)) return 1;
            saved = Save(*options, output, "frmChooseDatabase-options-menu") && saved;
            options->hide();
        }
        model.Cancel();
    }

    SystemClock clock;
    SystemLocations locations;
    locations.DataLocation = root + "/data";
    Database usersConnection;
    UsersDatabase users(ui, clock, locations, usersConnection);
    if (!users.OpenUsersDatabase(UsersDatabasePath(locations.DataLocation)).Ok()) return 1;
    if (!usersConnection
             .Execute("INSERT INTO Users (LoginName, Password, AccountStatus) "
                      "VALUES (?, ?, 1)",
                      {DbValue("FRED"), DbValue(ScrambleText("SECRET"))})
             .Ok()) {
        return 1;
    }
    NoNestedWindows dialogs;
    {
        LoginSession session;
        LoginModel model(users, session, locations, ui, dialogs);
        model.Load();
        gui::LoginWindow window(model);
        window.show();
        QTest::keyClicks(window.findChild<QLineEdit*>("txtLogin"), "fred");
        QTest::keyClicks(window.findChild<QLineEdit*>("txtPassword"), "secret");
        saved = Save(window, output, "frmLogin") && saved;
        QTest::mouseClick(window.findChild<QPushButton*>("cmdOptions"), Qt::LeftButton);
        saved = Save(window, output, "frmLogin-options") && saved;
        window.reject();
    }
    {
        CurrentUser user;
        user.LoginName = "FRED";
        user.Password = "SECRET";
        ChangePasswordModel model(users, user, ui);
        model.Load();
        gui::ChangePasswordWindow window(model);
        window.show();
        QTest::keyClicks(window.findChild<QLineEdit*>("txtOldPassword"), "secret");
        saved = Save(window, output, "frmChangePassword") && saved;
        window.reject();
    }
    users.CloseUsersDatabase();
    return saved ? 0 : 1;
}
