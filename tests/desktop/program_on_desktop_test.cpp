// The built program on a desktop with a window manager, driven from the keyboard as a person
// drives it: at start-up the window that waits for the operator is the active window on top of
// the window manager's stacking order, the splash never covers a window of the program, and
// the program ends with status 0 however it is closed.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <chrono>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "common/clock.h"
#include "common/scramble.h"
#include "config/system_locations.h"
#include "dbengine/engine.h"
#include "support/kora_installation.h"
#include "support/succeeded.h"
#include "support/scheduler_log_writer.h"
#include "support/scripted_user_interface.h"
#include "support/temp_dir.h"
#include "users/users_database.h"
#include "x_desktop.h"

namespace vantor::testing {
namespace {

using namespace std::chrono_literals;

InstallationOptions Options() {
    InstallationOptions options;
    options.maxCart = 5000;
    options.carts = {{250, "Station jingle", 8}, {4001, "First song", 180}};
    return options;
}

SchedulerLogWriter HoursOf(int32_t day, int first, int last) {
    SchedulerLogWriter log;
    for (int hour = first; hour <= last; ++hour)
        log.Header(SchedulerDate(day), hour, "Clock").Item("250", "Jingle").Item("4001", "Song");
    return log;
}

class ProgramOnDesktopTest : public ::testing::Test {
  protected:
    void TearDown() override {
        if (program_.state() != QProcess::NotRunning) {
            program_.kill();
            program_.waitForFinished(5000);
        }
    }

    void Start(KoraInstallation& station, const QStringList& arguments) {
        ASSERT_TRUE(view_.ok()) << "no connection to the display";
        QProcessEnvironment environment;
        for (const char* name : {"DISPLAY", "PATH"})
            environment.insert(name, QString::fromLocal8Bit(qgetenv(name)));
        environment.insert("HOME", QString::fromStdString(dir_.path()));
        environment.insert("USER", "studio");
        for (const auto& [name, value] : station.Environment())
            environment.insert(QString::fromStdString(name), QString::fromStdString(value));
        program_.setProcessEnvironment(environment);
        program_.setProcessChannelMode(QProcess::ForwardedChannels);
        program_.start(VANTOR_EXE, arguments);
        ASSERT_TRUE(program_.waitForStarted(10000));
    }

    // The program's windows, bottom to top, and whether the splash covers any of them: a
    // window of the program below the splash where the two overlap is one nobody can see.
    std::vector<ClientWindow> Windows() {
        std::vector<ClientWindow> ours;
        for (const ClientWindow& window : view_.Stacking())
            if (window.pid == program_.processId() && window.viewable) ours.push_back(window);
        size_t splash = ours.size();
        for (size_t i = 0; i < ours.size(); ++i)
            if (ours[i].type == "SPLASH") splash = i;
        for (size_t i = 0; i < splash && splash < ours.size(); ++i) {
            const Rect below = ours[i].frame.value_or(ours[i].client);
            if (below.Intersects(ours[splash].frame.value_or(ours[splash].client)))
                covered_.insert("\"" + ours[i].name + "\"");
        }
        return ours;
    }

    // Waits until the window named so is the active window and the top of the stacking order,
    // as the window that waits for the keyboard must be; the splash is watched meanwhile.
    bool OnTopWithTheKeyboard(const std::string& name, unsigned long* id = nullptr) {
        const auto until = std::chrono::steady_clock::now() + 15s;
        std::string last;
        while (std::chrono::steady_clock::now() < until) {
            std::vector<ClientWindow> all = view_.Stacking();
            std::vector<ClientWindow> ours = Windows();
            const ClientWindow* top = nullptr;
            for (const ClientWindow& window : all)
                if (window.viewable) top = &window;
            if (top != nullptr && top->name == name && top->pid == program_.processId() &&
                view_.ActiveWindow() == top->id) {
                if (id) *id = top->id;
                return true;
            }
            last = top ? "\"" + top->name + "\" on top" : "no window";
            if (program_.state() == QProcess::NotRunning) break;
            std::this_thread::sleep_for(20ms);
        }
        ADD_FAILURE() << "\"" << name << "\" did not come on top with the keyboard (" << last
                      << ")";
        return false;
    }

    // Waits for the program to end; its status, or -1 when it crashed or did not end.
    int Status() {
        const auto until = std::chrono::steady_clock::now() + 20s;
        while (program_.state() != QProcess::NotRunning &&
               std::chrono::steady_clock::now() < until) {
            Windows();
            program_.waitForFinished(20);
        }
        if (program_.state() != QProcess::NotRunning) return -1;
        return program_.exitStatus() == QProcess::NormalExit ? program_.exitCode() : -1;
    }

    TempDir dir_;
    DesktopView view_;
    QProcess program_;
    std::set<std::string> covered_;  // windows the splash was seen above
};

// Users must log in; no scheduler log is there yet, so the start-up has a message to show
// after the login window.
TEST_F(ProgramOnDesktopTest, StartUpWindowsComeOnTopWithTheKeyboardAndTheSplashCoversNone) {
    InstallationOptions options = Options();
    options.usersMustLogin = 1;
    KoraInstallation station(dir_.path(), options);
    {
        ScriptedUserInterface ui;
        SystemClock clock;
        SystemLocations locations;
        locations.DataLocation = station.dataLocation;
        Database connection;
        UsersDatabase users(ui, clock, locations, connection);
        ASSERT_THAT(users.OpenUsersDatabase(UsersDatabasePath(station.dataLocation)), Succeeded());
        ASSERT_THAT(connection.Execute(
                        "INSERT INTO Users (LoginName, Password, AccountStatus, "
                        "OverrideAccessRights, AccessRight5) VALUES (?, ?, 1, ?, ?)",
                        {DbValue("FRED"), DbValue(ScrambleText("SECRET")), DbValue(true),
                         DbValue(true)}),
                    Succeeded());
        users.CloseUsersDatabase();
    }

    Start(station, {"KORA26.MDB"});
    ASSERT_TRUE(OnTopWithTheKeyboard("User Login"));
    view_.Type("fred");
    view_.Key("Tab");
    view_.Type("secret");
    view_.Key("Return");
    ASSERT_TRUE(OnTopWithTheKeyboard("Vantor Log Import"));  // the message, over the splash
    view_.Key("Return");
    ASSERT_TRUE(OnTopWithTheKeyboard("Vantor Log Import : Test Station"));
    view_.Key("alt+f");
    view_.Key("x");
    EXPECT_EQ(Status(), 0);
    EXPECT_TRUE(covered_.empty()) << "the splash covered " << *covered_.begin();
}

// The settings dialog belongs to the main window: after it was opened, the program still ends
// with status 0 when the title bar's close button closes the main window.
TEST_F(ProgramOnDesktopTest, ClosingAfterTheImportSettingsWereOpenedEndsWithStatus0) {
    KoraInstallation station(dir_.path(), Options());
    const int32_t tomorrow = SystemClock().Today() + 1;
    station.WriteLog(tomorrow, HoursOf(tomorrow, 0, 3));
    Start(station, {"KORA26.MDB"});
    unsigned long main = 0;
    ASSERT_TRUE(OnTopWithTheKeyboard("Vantor Log Import : Test Station", &main));
    view_.Key("alt+g");
    view_.Key("l");
    ASSERT_TRUE(OnTopWithTheKeyboard("Log Import Settings:"));
    view_.Key("Escape");
    ASSERT_TRUE(OnTopWithTheKeyboard("Vantor Log Import : Test Station"));
    view_.CloseByTitleBar(main);
    EXPECT_EQ(Status(), 0);
    EXPECT_TRUE(covered_.empty()) << "the splash covered " << *covered_.begin();
}

}  // namespace
}  // namespace vantor::testing
