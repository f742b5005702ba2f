#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <fstream>
#include <map>
#include <memory>
#include <utility>

#include "common/clock.h"
#include "dbengine/engine.h"
#include "common/locale.h"
#include "common/ole_date.h"
#include "gui_test_support.h"
#include "importer/main_window_model.h"
#include "main_window.h"
#include "progress_windows.h"
#include "qt_dialogs.h"
#include "qt_user_interface.h"
#include "session/session.h"
#include "support/kora_installation.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "support/succeeded.h"
#include "windowed_program.h"

namespace vantor::gui {
namespace {

using namespace vantor::gui::testing;
using vantor::testing::HourStartsIn;
using vantor::testing::InstallationOptions;
using vantor::testing::KoraInstallation;
using vantor::testing::SchedulerDate;
using vantor::testing::SchedulerLogWriter;
using vantor::testing::ScopedEnv;
using vantor::testing::TempDir;

// One header per hour with two songs and a jingle; a cart the Audiowall lacks when asked.
SchedulerLogWriter HoursOf(int32_t day, int firstHour, int lastHour, bool missingCart = false) {
    SchedulerLogWriter log;
    for (int hour = firstHour; hour <= lastHour; ++hour) {
        log.Header(SchedulerDate(day), hour, "Clock " + std::to_string(hour))
            .Item("4001", "First song")
            .Item("250", "Station jingle")
            .Item("4002", "Second song");
        if (missingCart && hour == firstHour) log.Item("4999", "Not recorded yet");
    }
    return log;
}

InstallationOptions Options() {
    InstallationOptions options;
    options.maxCart = 5000;
    options.underrunningDuration = 60;
    options.carts = {
        {250, "Station jingle", 8}, {4001, "First song", 180}, {4002, "Second song", 200}};
    return options;
}

// A clock that starts on 5 March 2000 at 09:30 and runs on in real time, so that the pauses
// of an import come to their end.
class RunningClock : public Clock {
  public:
    RunningClock() : start_(JoinDate({2000, 3, 5, 9, 30, 0})) { elapsed_.start(); }
    OleDate Now() const override { return start_ + elapsed_.elapsed() / 86400000.0; }

  private:
    OleDate start_;
    QElapsedTimer elapsed_;
};

std::string RangeDate(int32_t day) {
    return FormatDate(day, "dd mmmm yyyy");
}

class MainWindowTest : public ::testing::Test {
  protected:
    MainWindowTest()
        : station_(dir_.path(), Options()),
          windir_("VANTOR_WINDIR", station_.windowsDirectory),
          programDir_("VANTOR_PROGRAM_DIR", station_.programDirectory),
          traceDir_("VANTOR_TRACE_DIR", station_.traceDirectory) {}

    ~MainWindowTest() override {
        if (window_) window_->close();
        ui_.SetOwner(nullptr);
    }

    void Start() {
        session_ = std::make_unique<Session>(ui_, dialogs_, clock_);
        dialogs_.Attach(*session_);
        model_ = std::make_unique<LogImportModel>(*session_);
        ASSERT_TRUE(model_->Load(ParseCommandLine("KORA26.MDB")));
        window_ = std::make_unique<MainWindow>(*model_, dialogs_);
        ui_.SetOwner(window_.get());
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    }

    template <typename T>
    T* Control(const char* name) {
        return Child<T>(window_.get(), name);
    }
    QLineEdit* Field(const char* name) { return Control<QLineEdit>(name); }

    // Clicks into a field, replaces its text by typing, and leaves it with Tab.
    void TypeAndLeave(const char* name, const QString& text) {
        QLineEdit* field = Field(name);
        QTest::mouseClick(field, Qt::LeftButton);
        field->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Tab);
    }

    bool RangeControlsEnabled() {
        const bool button = Control<QPushButton>("cmdSchedule")->isEnabled();
        for (const char* item :
             {"mnuReSendLog", "mnuPreviewImport", "mnuRemoveRange", "mnuRemoveAll"})
            EXPECT_EQ(window_->findChild<QAction*>(item)->isEnabled(), button) << item;
        return button;
    }

    TempDir dir_;
    KoraInstallation station_;
    ScopedEnv windir_, programDir_, traceDir_;
    RunningClock clock_;
    QtUserInterface ui_;
    QtDialogs dialogs_{ui_};
    std::unique_ptr<Session> session_;
    std::unique_ptr<LogImportModel> model_;
    std::unique_ptr<MainWindow> window_;
};

const int32_t kMarch6 = DateSerial(2000, 3, 6);

TEST_F(MainWindowTest, ControlsAndMenusCarryTheirNamesAndCaptions) {
    QString warning;
    WhenModal("MessageBox", [&](QWidget* box) {
        warning = static_cast<QMessageBox*>(box)->text();
        QTest::keyClick(box, Qt::Key_Return);
    });
    Start();
    EXPECT_TRUE(warning.contains("No Log files could be found")) << warning.toStdString();
    EXPECT_EQ(window_->objectName(), "frmLogImport");
    EXPECT_EQ(window_->windowTitle(), "Vantor Log Import : Test Station");
    EXPECT_EQ(Control<QLabel>("lblScheduledUntil")->text(), "No Schedules Created");
    EXPECT_EQ(Control<QLabel>("lblScheduledUntilDesc")->text(),
              "Schedules have been created up until:");
    // No log files: the range proposed is tomorrow, 00 to 23.
    EXPECT_EQ(Field("txtASStartDate")->text().toStdString(), RangeDate(kMarch6));
    EXPECT_EQ(Field("txtStartHour")->text(), "00");
    EXPECT_EQ(Field("txtEndHour")->text(), "23");
    EXPECT_EQ(Field("txtStartMinutes")->text(), "00");
    EXPECT_EQ(Field("txtEndMinutes")->text(), "59");
    EXPECT_EQ(Control<QLabel>("lblASStartDay")->text(), "Monday");
    EXPECT_EQ(Control<QPushButton>("cmdASStart")->text(), "Select Start Date and Time:");
    EXPECT_EQ(Control<QPushButton>("cmdASEnd")->text(), "Select End Date and Time:");
    EXPECT_EQ(Control<QLabel>("lblMusicLogNoOptions")->text(), "There are no options.");
    const struct {
        const char* name;
        const char* caption;
    } items[] = {
        {"mnuExit", "E&xit"},
        {"mnuScanLogFiles", "&Scan Log files for date range"},
        {"mnuRemoveRange", "&Remove Entries for the Date and Time range given below"},
        {"mnuRemoveAll", "Remove &ALL the Entries from the log"},
        {"mnuReSendLog", "Remove and then re-&send the Date and Time range below"},
        {"mnuPreviewImport", "&Preview the import of the Date and Time range below"},
        {"mnuSongsEmptyLibrary", "&Empty the Song Information in the Songs Library"},
        {"mnuOptions", "&Log Import Settings"},
        {"mnuFileLocations", "Vantor &File Locations"},
        {"mnuDatabaseSettings", "&Kora Database Settings"},
        {"mnuUpdateInfo", "&Update Information"},
        {"mnuAbout", "&About"},
    };
    for (const auto& item : items) {
        auto* action = window_->findChild<QAction*>(item.name);
        ASSERT_NE(action, nullptr) << item.name;
        EXPECT_EQ(action->text(), item.caption);
    }
}

TEST_F(MainWindowTest, TypedRangeIsKeptInOrderWhenFieldsAreLeft) {
    WhenModal("MessageBox", [](QWidget* box) { QTest::keyClick(box, Qt::Key_Return); });
    Start();
    // A start after the end moves the end date along.
    QLineEdit* start = Field("txtASStartDate");
    QTest::mouseClick(start, Qt::LeftButton);
    start->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(start, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(start, "7 March 2000");
    EXPECT_EQ(Control<QLabel>("lblASStartDay")->text(), "Tuesday");  // while typing
    QTest::keyClick(start, Qt::Key_Tab);
    EXPECT_EQ(start->text(), "07 March 2000");
    EXPECT_EQ(Field("txtASEndDate")->text(), "07 March 2000");
    EXPECT_EQ(Control<QLabel>("lblASEndDay")->text(), "Tuesday");
    // Tab went on to the start hour, which selected its text.
    EXPECT_TRUE(WaitFor([&] { return Field("txtStartHour")->selectedText() == "00"; }));

    // On one day, a start hour above the end hour takes the end hour with it.
    TypeAndLeave("txtEndHour", "9");
    TypeAndLeave("txtStartHour", "14");
    EXPECT_EQ(Field("txtStartHour")->text(), "14");
    EXPECT_EQ(Field("txtEndHour")->text(), "14");

    // An end before the start moves the start back.
    TypeAndLeave("txtASEndDate", "6/3/2000");
    EXPECT_EQ(Field("txtASEndDate")->text(), "06 March 2000");
    EXPECT_EQ(start->text(), "06 March 2000");

    // The hour fields take digits only; 25 is no hour and disables what needs the range.
    TypeAndLeave("txtEndHour", "2x5");
    EXPECT_EQ(Field("txtEndHour")->text(), "25");
    EXPECT_FALSE(RangeControlsEnabled());
    // A letter with Alt held that is no shortcut does not get in either.
    QTest::keyClick(Field("txtEndHour"), Qt::Key_X, Qt::AltModifier);
    EXPECT_EQ(Field("txtEndHour")->text(), "25");
    TypeAndLeave("txtEndHour", "23");
    EXPECT_TRUE(RangeControlsEnabled());

    // A date that is no date is kept as typed and disables them too.
    TypeAndLeave("txtASStartDate", "someday");
    EXPECT_EQ(start->text(), "someday");
    EXPECT_FALSE(RangeControlsEnabled());
}

TEST_F(MainWindowTest, RangeButtonsOpenThePicker) {
    WhenModal("MessageBox", [](QWidget* box) { QTest::keyClick(box, Qt::Key_Return); });
    Start();
    WhenModal("frmSelectHour", [](QWidget* picker) {
        // The picker opens on the start field's day and hour.
        EXPECT_EQ(Child<QLineEdit>(picker, "TimeT")->text(), "00");
        auto* hour = Child<QLineEdit>(picker, "TimeT");
        hour->setFocus();
        hour->selectAll();
        QTest::keyClicks(hour, "6");
        for (int i = 0; i < 37; ++i) {
            auto* cell = Child<QLabel>(picker, qPrintable(QString("lblDay%1").arg(i)));
            if (cell->text() == "9") QTest::mouseClick(cell, Qt::LeftButton);
        }
        QTest::mouseClick(Child<QPushButton>(picker, "OKB"), Qt::LeftButton);
    });
    QTest::mouseClick(Control<QPushButton>("cmdASStart"), Qt::LeftButton);
    EXPECT_EQ(Field("txtASStartDate")->text(), "09 March 2000");
    EXPECT_EQ(Field("txtStartHour")->text(), "06");
    EXPECT_EQ(Control<QLabel>("lblASStartDay")->text(), "Thursday");
    // The start moved after the end: the end follows.
    EXPECT_EQ(Field("txtASEndDate")->text(), "09 March 2000");

    WhenModal("frmSelectHour", [](QWidget* picker) {
        QTest::mouseClick(Child<QPushButton>(picker, "CancelB"), Qt::LeftButton);
    });
    QTest::mouseClick(Control<QPushButton>("cmdASEnd"), Qt::LeftButton);
    EXPECT_EQ(Field("txtASEndDate")->text(), "09 March 2000");
    EXPECT_EQ(Field("txtEndHour")->text(), "23");
}

TEST_F(MainWindowTest, BeginImportingFillsTheLogAndShowsTheReport) {
    station_.WriteLog(kMarch6, HoursOf(kMarch6, 5, 8, true));
    Start();
    // The log files were scanned at start-up: the proposed range is their hours.
    EXPECT_EQ(Field("txtASStartDate")->text().toStdString(), RangeDate(kMarch6));
    EXPECT_EQ(Field("txtStartHour")->text(), "05");
    EXPECT_EQ(Field("txtEndHour")->text(), "08");

    // While the import runs, its progress shows and nothing can start it again.
    bool sawProgress = false, buttonDisabled = false, menusDisabled = false;
    QStringList rangeEnabled;
    QString task;
    QTimer watcher;
    watcher.setInterval(0);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        ImportProgressWindow* progress = ui_.ImportProgress();
        if (!progress->isVisible() || sawProgress) return;
        sawProgress = true;
        task = Child<QLabel>(progress, "lblCurrentTask")->text();
        buttonDisabled = !Control<QPushButton>("cmdSchedule")->isEnabled();
        menusDisabled = !window_->findChild<QAction*>("mnuRemoveAll")->isEnabled();
        // Every field and button of the range is out of reach, the fixed minutes included.
        for (QWidget* control : Control<QWidget>("fraDateTimeRange")->findChildren<QWidget*>())
            if (qobject_cast<QLineEdit*>(control) || qobject_cast<QPushButton*>(control))
                if (control->isEnabled()) rangeEnabled << control->objectName();
    });
    watcher.start();
    QTest::mouseClick(Control<QPushButton>("cmdSchedule"), Qt::LeftButton);
    watcher.stop();
    EXPECT_TRUE(sawProgress);
    EXPECT_TRUE(buttonDisabled);
    EXPECT_TRUE(menusDisabled);
    EXPECT_TRUE(rangeEnabled.isEmpty()) << rangeEnabled.join(", ").toStdString();
    EXPECT_TRUE(Control<QPushButton>("cmdSchedule")->isEnabled());
    EXPECT_TRUE(Field("txtEndMinutes")->isEnabled());
    EXPECT_FALSE(ui_.ImportProgress()->isVisible());

    EXPECT_EQ(HourStartsIn(station_.databasePath).size(), 4u);
    EXPECT_EQ(Control<QLabel>("lblScheduledUntil")->text().toStdString(),
              FormatDate(kMarch6, "dddddd") + " 08:59");

    // The missing cart is reported in the viewer.
    QWidget* viewer = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (viewer = TopLevel("frmPrintPreview")) != nullptr; }));
    EXPECT_FALSE(viewer->isModal());  // the report leaves the main window free
    const QString report = Child<QTextEdit>(viewer, "rtfFile")->toPlainText();
    EXPECT_TRUE(report.contains("Cart 4999 has been scheduled to play, but does not exist"))
        << report.toStdString();

    // Closing the main window closes the viewer and runs the closing steps.
    window_->findChild<QAction*>("mnuExit")->trigger();
    EXPECT_TRUE(model_->IsClosed());
    EXPECT_TRUE(WaitFor([] { return TopLevel("frmPrintPreview") == nullptr; }));
    EXPECT_FALSE(window_->isVisible());
}

TEST_F(MainWindowTest, AnImportWithoutProblemsEndsWithTheSuccessMessage) {
    station_.WriteLog(kMarch6, HoursOf(kMarch6, 0, 2));
    Start();
    QString message;
    WhenModal("MessageBox", [&](QWidget* box) {
        message = static_cast<QMessageBox*>(box)->text();
        QTest::keyClick(box, Qt::Key_Return);
    });
    QTest::mouseClick(Control<QPushButton>("cmdSchedule"), Qt::LeftButton);
    EXPECT_EQ(message, "The log was successfully imported into the Kora database");
    EXPECT_EQ(HourStartsIn(station_.databasePath).size(), 3u);
    EXPECT_EQ(TopLevel("frmPrintPreview"), nullptr);
}

TEST_F(MainWindowTest, ReturnPressesTheButtonThatHasTheFocus) {
    station_.WriteLog(kMarch6, HoursOf(kMarch6, 0, 1));
    Start();
    EXPECT_EQ(ButtonsDeafToReturn(window_.get()).join(", ").toStdString(), "");

    bool pickerOpened = false;
    WhenModal("frmSelectHour", [&](QWidget* picker) {
        pickerOpened = true;
        QTest::mouseClick(Child<QPushButton>(picker, "CancelB"), Qt::LeftButton);
    });
    auto* endButton = Control<QPushButton>("cmdASEnd");
    endButton->setFocus(Qt::TabFocusReason);
    QTest::keyClick(endButton, Qt::Key_Return);
    EXPECT_TRUE(pickerOpened);

    QString message;
    WhenModal("MessageBox", [&](QWidget* box) {
        message = static_cast<QMessageBox*>(box)->text();
        QTest::keyClick(box, Qt::Key_Return);
    });
    auto* schedule = Control<QPushButton>("cmdSchedule");
    schedule->setFocus(Qt::TabFocusReason);
    QTest::keyClick(schedule, Qt::Key_Return);
    EXPECT_EQ(message, "The log was successfully imported into the Kora database");
    EXPECT_EQ(HourStartsIn(station_.databasePath).size(), 2u);
}

TEST_F(MainWindowTest, EscapeFromAMenuGivesTheKeyboardBackToTheWindow) {
    WhenModal("MessageBox", [](QWidget* box) { QTest::keyClick(box, Qt::Key_Return); });
    Start();
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    QLineEdit* date = Field("txtASStartDate");
    date->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(WaitFor([&] { return date->hasFocus(); }));

    QTest::keyClick(date, Qt::Key_M, Qt::AltModifier);
    QMenu* menu = window_->findChild<QMenu*>("mnuMusicLog");
    ASSERT_TRUE(WaitFor([&] { return menu->isVisible(); }));
    // The offscreen platform announces the open menu as the active window a moment later; let
    // that land before the menu closes, or it would arrive after and take the focus away.
    QTest::qWait(50);
    QTest::keyClick(menu, Qt::Key_Escape);
    ASSERT_TRUE(WaitFor([&] { return !menu->isVisible(); }));

    // The field has the keyboard again: Tab goes on to the start hour.
    ASSERT_TRUE(WaitFor([&] { return QApplication::focusWidget() == date; }));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), Field("txtStartHour"));
}

TEST_F(MainWindowTest, ScreenReadersTellTheRangeFieldsApart) {
    WhenModal("MessageBox", [](QWidget* box) { QTest::keyClick(box, Qt::Key_Return); });
    Start();
    EXPECT_EQ(ControlsWithoutTheirOwnName(window_.get()).join("; ").toStdString(), "");
    const std::pair<const char*, const char*> fields[] = {
        {"txtASStartDate", "Start date"}, {"txtStartHour", "Start hour"},
        {"txtStartMinutes", "Start minutes"}, {"txtASEndDate", "End date"},
        {"txtEndHour", "End hour"}, {"txtEndMinutes", "End minutes"},
    };
    for (const auto& [name, spoken] : fields)
        EXPECT_EQ(AccessibleName(Field(name)), spoken) << name;
}

TEST_F(MainWindowTest, DialogsOfFixedContentsOfferNoMinimiseMaximiseOrResize) {
    std::map<std::string, std::string> offered;
    auto look = [&](QWidget* dialog) {
        offered[dialog->objectName().toStdString()] =
            NeedlessFrameButtons(dialog).join(", ").toStdString();
        QTest::keyClick(dialog, Qt::Key_Escape);
    };
    WhenModal("MessageBox", look);  // the start-up's message
    Start();
    WhenModal("frmSelectHour", look);
    QTest::mouseClick(Control<QPushButton>("cmdASStart"), Qt::LeftButton);
    const std::map<std::string, std::string> none = {{"MessageBox", ""}, {"frmSelectHour", ""}};
    EXPECT_EQ(offered, none);
}

TEST_F(MainWindowTest, EnlargedTheWindowKeepsItsFieldsTheirNaturalWidth) {
    WhenModal("MessageBox", [](QWidget* box) { QTest::keyClick(box, Qt::Key_Return); });
    Start();
    const QSize natural = window_->size();
    window_->resize(natural.width() + 600, natural.height() + 400);
    QTest::qWait(20);
    EXPECT_EQ(window_->size(), natural);
    for (const char* name : {"txtASStartDate", "txtASEndDate"}) {
        QLineEdit* date = Field(name);
        EXPECT_EQ(date->width(), std::max(date->minimumWidth(), date->sizeHint().width())) << name;
    }
}

TEST_F(MainWindowTest, ThePreviewMenuItemShowsWhatTheImportWouldDoAndWritesNothing) {
    station_.WriteLog(kMarch6, HoursOf(kMarch6, 5, 6, true));
    Start();
    QAction* preview = window_->findChild<QAction*>("mnuPreviewImport");
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(preview->isEnabled());

    // From the keyboard: the menu's accelerator, then the item's.
    window_->activateWindow();
    QTest::keyClick(window_.get(), Qt::Key_M, Qt::AltModifier);
    QMenu* menu = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        menu = window_->findChild<QMenu*>("mnuMusicLog");
        return menu && menu->isVisible();
    }));
    QTest::keyClick(menu, Qt::Key_P);
    QWidget* viewer = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (viewer = TopLevel("frmPrintPreview")) != nullptr; }));
    EXPECT_EQ(viewer->windowTitle(), "Import Preview");
    const QString text = Child<QTextEdit>(viewer, "rtfFile")->toPlainText();
    EXPECT_TRUE(text.contains("  05:00  new ")) << text.toStdString();
    EXPECT_TRUE(text.contains("missing cart 4999: entry 4 at 05:06:28")) << text.toStdString();
    EXPECT_TRUE(text.contains("Summary: 2 hours new")) << text.toStdString();
    EXPECT_TRUE(HourStartsIn(station_.databasePath).empty());
    EXPECT_FALSE(std::filesystem::exists(station_.ErrorLogPath()));
    EXPECT_TRUE(preview->isEnabled());

    // A range that is not a range disables it with the other range items.
    QTest::mouseClick(Child<QPushButton>(viewer, "cmdDone"), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([] { return TopLevel("frmPrintPreview") == nullptr; }));
    QApplication::setActiveWindow(window_.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    TypeAndLeave("txtEndHour", "25");
    EXPECT_FALSE(RangeControlsEnabled());
    EXPECT_FALSE(preview->isEnabled());
}

// The settings menu's items from the keyboard, as a person reaches them: Alt and the menu's
// accelerator through the real menu bar, then the item's letter.
TEST_F(MainWindowTest, SettingsMenuItemsOpenTheirWindowsFromTheKeyboard) {
    WhenModal("MessageBox", [](QWidget* box) { QTest::keyClick(box, Qt::Key_Return); });
    Start();
    auto openSettingsItem = [&](Qt::Key item) {
        window_->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window_.get()));
        QTest::keyClick(window_.get(), Qt::Key_G, Qt::AltModifier);
        QMenu* menu = window_->findChild<QMenu*>("mnuSettings");
        EXPECT_TRUE(WaitFor([&] { return menu->isVisible(); }));
        QTest::keyClick(menu, item);
    };

    // "&Log Import Settings": the dialog does not hold the main window.
    openSettingsItem(Qt::Key_L);
    QWidget* settings = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (settings = TopLevel("frmLogImportSettings")) != nullptr; }));
    EXPECT_EQ(settings->parentWidget(), window_.get());
    EXPECT_FALSE(settings->isModal());
    settings->close();
    ASSERT_TRUE(WaitFor([] { return TopLevel("frmLogImportSettings") == nullptr; }));

    // "&Kora Database Settings": the editor, modal, on the database the window imports into.
    QString title, logPath;
    bool modal = false;
    WhenModal("frmKORADatabaseSettings", [&](QWidget* editor) {
        title = editor->windowTitle();
        modal = editor->isModal();
        logPath = Child<QLineEdit>(editor, "txtMusicLogPath")->text();
        // Afterwards the window reads the logs again, and still finds none to import.
        WhenModal("MessageBox", [](QWidget* box) { QTest::keyClick(box, Qt::Key_Return); });
        QTest::keyClick(editor, Qt::Key_Escape);
    });
    openSettingsItem(Qt::Key_K);
    ASSERT_TRUE(WaitFor([&] { return !title.isEmpty(); }));
    EXPECT_EQ(title, "Kora Database Settings");
    EXPECT_TRUE(modal);
    EXPECT_EQ(logPath.toStdString(), station_.logsDirectory);
    // Once it closed the window takes the keyboard and its menus again.
    EXPECT_TRUE(WaitFor([&] { return window_->menuBar()->isEnabled(); }));
}

// Presses Return in every message box that comes to the front while it lives, as an operator
// who reads each message and confirms it would, and notes the texts.
class AnswerEveryMessage {
  public:
    AnswerEveryMessage() {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr || !box->isVisible()) return;
            seen.push_back(box->text().toStdString());
            mainWindowShown = mainWindowShown || TopLevel("frmLogImport") != nullptr;
            QTest::keyClick(box, Qt::Key_Return);
        });
        timer_.start();
    }
    std::vector<std::string> seen;
    bool mainWindowShown = false;

  private:
    QTimer timer_;
};

// A scheduler that starts the windowed program with "/AUTO" "/QUIT" tells the outcomes apart by
// the status, as with the unattended run: once the messages are answered the program ends by
// itself with 0, 4, 3 or 2.
TEST(WindowedProgram, AutoQuitEndsByItselfWithTheStatusOfTheImport) {
    const int32_t tomorrow = SystemClock().Today() + 1;
    const struct {
        const char* what;
        std::function<void(KoraInstallation&)> prepare;
        int status;
        const char* message;  // a message the run shows on the way, "" for none
        size_t hours;         // hours in the Log table afterwards
    } cases[] = {
        {"a clean import",
         [&](KoraInstallation& station) { station.WriteLog(tomorrow, HoursOf(tomorrow, 0, 3)); }, 0,
         "The log was successfully imported into the Kora database", 4},
        {"a cart the Audiowall lacks",
         [&](KoraInstallation& station) {
             station.WriteLog(tomorrow, HoursOf(tomorrow, 0, 3, true));
         },
         4, "", 4},
        {"an unreadable header",
         [&](KoraInstallation& station) {
             SchedulerLogWriter log = HoursOf(tomorrow, 0, 3);
             log.Line("+99/99/99 06");
             station.WriteLog(tomorrow, log);
         },
         4, "There was a problem reading the date from the Music Log", 4},
        {"no Log table",
         [&](KoraInstallation& station) {
             station.WriteLog(tomorrow, HoursOf(tomorrow, 0, 3));
             Database db;
             ASSERT_THAT(db.Open(station.databasePath), Succeeded());
             ASSERT_THAT(db.Execute("DROP TABLE [Log]"), Succeeded());
         },
         3, "There was a problem opening the Kora Log", 0},
        {"no logs directory",
         [&](KoraInstallation& station) { std::filesystem::remove_all(station.logsDirectory); }, 2,
         "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        KoraInstallation station(dir.path(), Options());
        c.prepare(station);
        std::vector<std::unique_ptr<ScopedEnv>> environment;
        for (const auto& [name, value] : station.Environment())
            environment.push_back(std::make_unique<ScopedEnv>(name.c_str(), value));

        AnswerEveryMessage answers;
        WindowedOptions options;
        options.command = ParseCommandLine("KORA26.MDB /AUTO /QUIT");
        EXPECT_EQ(RunWindowedProgram(options), c.status);
        EXPECT_TRUE(answers.mainWindowShown || answers.seen.empty());
        if (*c.message != '\0') {
            EXPECT_TRUE(std::any_of(answers.seen.begin(), answers.seen.end(),
                                    [&](const std::string& text) {
                                        return text.rfind(c.message, 0) == 0;
                                    }))
                << ::testing::PrintToString(answers.seen);
        }
        if (c.hours > 0) {
            EXPECT_EQ(HourStartsIn(station.databasePath).size(), c.hours);
        }
        EXPECT_EQ(TopLevel("frmLogImport"), nullptr);
        EXPECT_EQ(TopLevel("frmPrintPreview"), nullptr);
    }
}

TEST_F(MainWindowTest, UpdateInformationHoldsTheMainWindowUntilItIsClosed) {
    {
        std::ofstream notes(std::filesystem::path(station_.programDirectory) / "Updates.txt");
        notes << "Version 2.5: the preview menu item.\n";
    }
    WhenModal("MessageBox", [](QWidget* box) { QTest::keyClick(box, Qt::Key_Return); });
    Start();
    QString caption, text;
    bool overMainWindow = false;
    WhenModal("frmPrintPreview", [&](QWidget* viewer) {
        caption = viewer->windowTitle();
        text = Child<QTextEdit>(viewer, "rtfFile")->toPlainText();
        overMainWindow = viewer->parentWidget() == window_.get() &&
                         viewer->windowModality() != Qt::NonModal;
        QTest::mouseClick(Child<QPushButton>(viewer, "cmdDone"), Qt::LeftButton);
    });
    // The menu item returns only once the viewer is closed.
    window_->findChild<QAction*>("mnuUpdateInfo")->trigger();
    EXPECT_EQ(caption, "Update Information");
    EXPECT_EQ(text, "Version 2.5: the preview menu item.\n");
    EXPECT_TRUE(overMainWindow);
    EXPECT_TRUE(WaitFor([] { return TopLevel("frmPrintPreview") == nullptr; }));
}

// The settings dialog belongs to the main window and to the settings windows at once: after it
// was opened, closing the program must delete it once, not twice.
TEST(WindowedProgram, ExitAfterTheImportSettingsWereOpenedEndsWithStatus0) {
    TempDir dir;
    KoraInstallation station(dir.path(), Options());
    const int32_t tomorrow = SystemClock().Today() + 1;
    station.WriteLog(tomorrow, HoursOf(tomorrow, 0, 3));
    std::vector<std::unique_ptr<ScopedEnv>> environment;
    for (const auto& [name, value] : station.Environment())
        environment.push_back(std::make_unique<ScopedEnv>(name.c_str(), value));

    for (const char* closeWith : {"cmdOK", "cmdCancel"}) {
        SCOPED_TRACE(closeWith);
        bool settingsShown = false;
        QTimer operatorAtTheDesk;
        operatorAtTheDesk.setInterval(20);
        QObject::connect(&operatorAtTheDesk, &QTimer::timeout, [&] {
            QWidget* main = TopLevel("frmLogImport");
            if (main == nullptr || QApplication::activeModalWidget() != nullptr) return;
            operatorAtTheDesk.stop();
            main->findChild<QAction*>("mnuOptions")->trigger();
            QWidget* settings = TopLevel("frmLogImportSettings");
            settingsShown = settings != nullptr;
            if (settings)
                QTest::mouseClick(settings->findChild<QPushButton*>(closeWith), Qt::LeftButton);
            main->findChild<QAction*>("mnuExit")->trigger();
        });
        operatorAtTheDesk.start();
        WindowedOptions options;
        options.command = ParseCommandLine("KORA26.MDB");
        EXPECT_EQ(RunWindowedProgram(options), 0);
        EXPECT_TRUE(settingsShown);
        EXPECT_EQ(TopLevel("frmLogImportSettings"), nullptr);
    }
}

TEST(WindowedProgram, StartUpThatEndsShowsNoMainWindow) {
    TempDir dir;
    InstallationOptions options = Options();
    KoraInstallation station(dir.path(), options);
    std::vector<std::unique_ptr<ScopedEnv>> environment;
    for (const auto& [name, value] : station.Environment())
        environment.push_back(std::make_unique<ScopedEnv>(name.c_str(), value));
    // No database named: the chooser opens, and cancelling it ends start-up.
    WhenModal("frmChooseDatabase", [](QWidget* chooser) {
        QTest::mouseClick(chooser->findChild<QPushButton*>("cmdCancel"), Qt::LeftButton);
    });
    WindowedOptions windowed;
    windowed.command = ParseCommandLine("/AUTO");
    EXPECT_EQ(RunWindowedProgram(windowed), 1);
    EXPECT_EQ(TopLevel("frmLogImport"), nullptr);
    EXPECT_EQ(TopLevel("frmSplash"), nullptr);
}

}  // namespace
}  // namespace vantor::gui
