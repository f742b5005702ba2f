// The main window of a workstation whose playout database is on the test run's database
// server: the caption names the server, and "Begin Importing" writes the hours there.
#include <gtest/gtest.h>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "common/clock.h"
#include "config/command_line.h"
#include "config/database_server.h"
#include "gui_test_support.h"
#include "importer/main_window_model.h"
#include "main_window.h"
#include "qt_dialogs.h"
#include "qt_user_interface.h"
#include "session/session.h"
#include "support/kora_installation.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "support/test_server.h"

namespace vantor::gui {
namespace {

using namespace vantor::gui::testing;
using vantor::testing::InstallationOptions;
using vantor::testing::KoraInstallation;
using vantor::testing::SchedulerDate;
using vantor::testing::SchedulerLogWriter;
using vantor::testing::ScopedEnv;
using vantor::testing::ServerInstallation;
using vantor::testing::TempDir;

InstallationOptions OnServer(const std::string& conninfo) {
    InstallationOptions options;
    options.maxCart = 5000;
    options.carts = {{4001, "First song", 180}};
    options.underrunningDuration = 60;  // the one short hour is no problem to report
    options.databaseServer = conninfo;
    return options;
}

TEST(MainWindowOnServerTest, TheCaptionNamesTheServerAndTheImportWritesThere) {
    TempDir dir;
    ServerInstallation installation;
    KoraInstallation station(dir.path(), OnServer(installation.conninfo()));
    const int32_t tomorrow = SystemClock().Today() + 1;
    SchedulerLogWriter log;
    log.Header(SchedulerDate(tomorrow), 6, "Clock").Item("4001", "First song");
    station.WriteLog(tomorrow, log);

    ScopedEnv windir("VANTOR_WINDIR", station.windowsDirectory);
    ScopedEnv programDir("VANTOR_PROGRAM_DIR", station.programDirectory);
    ScopedEnv traceDir("VANTOR_TRACE_DIR", station.traceDirectory);
    // The run's own choice, as a one-off run gives it, names the same server.
    ScopedEnv server("VANTOR_DB_SERVER", installation.conninfo());
    SystemClock clock;
    QtUserInterface ui;
    QtDialogs dialogs{ui};
    Session session(ui, dialogs, clock);
    dialogs.Attach(session);
    LogImportModel model(session);
    ASSERT_TRUE(model.Load(ParseCommandLine("KORA26.MDB")));
    MainWindow window(model, dialogs);
    ui.SetOwner(&window);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    const std::string shown = DatabaseServerShown(session.locations);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(window.windowTitle().toStdString(), "Vantor Log Import : Test Station - " + shown);

    QString said;
    WhenModal("MessageBox", [&](QWidget* box) {
        said = static_cast<QMessageBox*>(box)->text();
        QTest::keyClick(box, Qt::Key_Return);
    });
    QTest::mouseClick(Child<QPushButton>(&window, "cmdSchedule"), Qt::LeftButton);
    EXPECT_EQ(said, "The log was successfully imported into the Kora database");
    EXPECT_EQ(station.HourStarts(), (std::vector<std::pair<int32_t, int>>{{tomorrow, 6}}));
    window.close();
    ui.SetOwner(nullptr);
}

}  // namespace
}  // namespace vantor::gui
