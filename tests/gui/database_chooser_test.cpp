// The database chooser window driven through its controls, on real database files.

#include "database_chooser.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>

#include "dbengine/database_file.h"
#include "gui_test_support.h"
#include "input_box.h"
#include "modal_answers.h"
#include "modal_user_interface.h"
#include "qt_dialogs_chooser.h"
#include "support/jet_writer.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace vantor {
namespace {

using gui::DatabaseChooser;
using testing::ModalAnswers;
using testing::ModalUserInterface;
using testing::ScopedEnv;
using testing::TempDir;
namespace fs = std::filesystem;

class DatabaseChooserWindowTest : public ::testing::Test {
  protected:
    DatabaseChooserWindowTest() {
        fs::create_directories(schedule_);
        fs::create_directories(dir_ / "windows");
        MakeDatabase("KORA26.MDB", 14, "Main studio");
        MakeDatabase("STUDIO2.MDB", 14, "Second studio");
        MakeDatabase("NIGHT.MDB", 14, "Night shift");
        MakeDatabase("ADVERTS.MDB", 2, "Adverts");
    }

    void MakeDatabase(const std::string& fileName, int32_t type, std::string description) {
        ScriptedUserInterface quiet;
        ASSERT_EQ(EnsureDatabaseFile(quiet, schedule_ + "/" + fileName, type, true, description),
                  0);
    }

    // The window on the Kora databases, shown and filled.
    void Show(DatabaseChooser& window, DatabaseChooserModel& model) {
        model.SetSearchDirectory(schedule_);
        model.SetDatabaseType(kKoraV26DatabaseType);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        ASSERT_TRUE(QTest::qWaitFor([&] { return model.Items().size() == 3; }));
    }

    template <typename T>
    static T* Find(QWidget& window, const char* name) {
        T* found = window.findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    TempDir dir_;
    std::string schedule_ = dir_ / "SCHEDULE";
    ScopedEnv windir_{"VANTOR_WINDIR", dir_ / "windows"};
    ModalUserInterface ui_;
};

TEST_F(DatabaseChooserWindowTest, ChoosesADatabaseByDoubleClick) {
    // Opened as the program opens it; the test plays the person at the screen.
    bool checked = false;
    QTimer::singleShot(0, [&] {
        ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activeModalWidget() != nullptr; }));
        auto* window = qobject_cast<DatabaseChooser*>(QApplication::activeModalWidget());
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->objectName(), "frmChooseDatabase");
        auto* list = window->findChild<QListWidget*>("lViewDatabasesIcons");
        ASSERT_NE(list, nullptr);
        ASSERT_TRUE(QTest::qWaitFor([&] { return list->count() == 3; }));
        EXPECT_EQ(window->windowTitle(), "Select Kora V2.6 Database");
        EXPECT_EQ(gui::testing::ButtonsDeafToReturn(window).join(", ").toStdString(), "");
        EXPECT_EQ(gui::testing::ControlsWithoutTheirOwnName(window).join("; ").toStdString(), "");
        EXPECT_EQ(list->item(0)->text(), "Main studio");  // KORA26
        EXPECT_EQ(list->item(1)->text(), "Night shift");  // NIGHT
        EXPECT_FALSE(list->item(1)->icon().isNull());
        QRect place = list->visualItemRect(list->item(1));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, place.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, place.center());
        checked = true;
        if (window->isVisible()) {
            ADD_FAILURE() << "the double-click left the window open";
            window->done(QDialog::Rejected);
        }
    });
    gui::ChosenDatabase chosen = gui::RunDatabaseChooser(nullptr, ui_, schedule_, 14, true);
    EXPECT_TRUE(checked);
    EXPECT_EQ(chosen.fileName, "NIGHT.MDB");
    EXPECT_EQ(chosen.description, "Night shift");
}

TEST_F(DatabaseChooserWindowTest, AUserWhoMayNotEditIsGivenTheOnlyDatabaseWithoutAsking) {
    for (const char* other : {"STUDIO2.MDB", "NIGHT.MDB"}) fs::remove(schedule_ + "/" + other);
    gui::ChosenDatabase chosen = gui::RunDatabaseChooser(nullptr, ui_, schedule_, 14, false);
    EXPECT_EQ(chosen.fileName, "KORA26.MDB");
    EXPECT_EQ(chosen.description, "Main studio");
}

TEST_F(DatabaseChooserWindowTest, ChoosesByEnterInTheDetailsView) {
    DatabaseChooserModel model(ui_);
    DatabaseChooser window(model);
    Show(window, model);
    Find<QAction>(window, "mnuDetails")->trigger();
    auto* details = Find<QTreeWidget>(window, "lViewDatabasesDetails");
    ASSERT_EQ(Find<QStackedWidget>(window, "lViewDatabases")->currentWidget(), details);
    ASSERT_EQ(details->topLevelItemCount(), 3);
    EXPECT_EQ(details->headerItem()->text(0), "Description");
    EXPECT_EQ(details->headerItem()->text(1), "Database Name");
    EXPECT_EQ(details->topLevelItem(2)->text(1), "STUDIO2");
    EXPECT_TRUE(details->isColumnHidden(2));  // Kora databases do not record their last use

    details->setFocus();
    QTest::keyClick(details, Qt::Key_Down);
    EXPECT_EQ(model.ChosenDatabaseDescription(), "Night shift");
    QTest::keyClick(details, Qt::Key_Return);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_EQ(model.ChosenFileName(), "NIGHT.MDB");
    EXPECT_EQ(model.View(), ChooserView::Details);
}

TEST_F(DatabaseChooserWindowTest, EscapeFromAMenuGivesTheKeyboardBackToTheList) {
    DatabaseChooserModel model(ui_);
    DatabaseChooser window(model);
    Show(window, model);
    auto* list = Find<QListWidget>(window, "lViewDatabasesIcons");
    list->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->hasFocus(); }));

    QTest::keyClick(list, Qt::Key_V, Qt::AltModifier);
    auto* menu = Find<QMenu>(window, "mnuView");
    ASSERT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }));
    QTest::qWait(50);  // the offscreen platform activates the open menu a moment later
    QTest::keyClick(menu, Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !menu->isVisible(); }));

    // The list answers the arrow keys again, without a second Escape.
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == list; }));
    list->setCurrentRow(0);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    EXPECT_EQ(model.ChosenDatabaseDescription(), "Night shift");
}

TEST_F(DatabaseChooserWindowTest, CreatesADatabaseThroughTheOptionsMenu) {
    DatabaseChooserModel model(ui_);
    DatabaseChooser window(model);
    Show(window, model);

    // The list's pop-up menu is the Options menu.
    auto* list = Find<QListWidget>(window, "lViewDatabasesIcons");
    auto* options = Find<QMenu>(window, "mnuOptions");
    QPoint onItem = list->visualItemRect(list->item(0)).center();
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, onItem, list->mapToGlobal(onItem));
    QApplication::sendEvent(list->viewport(), &rightClick);
    ASSERT_TRUE(QTest::qWaitFor([&] { return options->isVisible(); }));
    options->hide();

    ModalAnswers answers;
    answers.Type("backup");
    answers.Press(QMessageBox::Ok);
    Find<QAction>(window, "mnuNewDatabase")->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return answers.Pending() == 0; }));
    EXPECT_EQ(answers.Seen().back(), "The name 'Backup' is reserved and cannot be used!");

    answers.Type("EVENING");
    answers.Press(QMessageBox::Yes);
    answers.Type("Evening show");
    Find<QAction>(window, "mnuNewDatabase")->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return answers.Pending() == 0; }));
    ASSERT_EQ(answers.Seen().size(), 5u);
    EXPECT_EQ(answers.Seen()[2],
              "What filename do you want to use for this database:\n"
              "(This is a unique reference that can be up to 8 letters)");
    EXPECT_EQ(answers.Seen()[3], "Are you sure you want to create a new Kora V2.6 Database in: \n" +
                                     schedule_ + "/EVENING.MDB");
    EXPECT_EQ(answers.Seen()[4], "Please enter a suitable description for this database");
    EXPECT_TRUE(fs::exists(schedule_ + "/EVENING.MDB"));
    ASSERT_EQ(list->count(), 4);
    EXPECT_EQ(list->item(0)->text(), "Evening show");
    EXPECT_TRUE(window.isVisible());
}

TEST_F(DatabaseChooserWindowTest, ImportsAWindowsDatabaseThroughTheOptionsMenu) {
    const std::string old = dir_ / "KORA40.MDB";
    ASSERT_EQ(testing::WriteJetFile(
                  old, testing::JetVersion::Jet4,
                  {testing::JetTable{"Log", {{"QIndex", FieldType::Double}}, {{DbValue(2.5)}}, {}}}),
              "");
    DatabaseChooserModel model(ui_);
    DatabaseChooser window(model);
    Show(window, model);

    QAction* item = Find<QAction>(window, "mnuImportWindowsDatabase");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), "&Import a Windows Database...");
    EXPECT_TRUE(Find<QMenu>(window, "mnuOptions")->actions().contains(item));
    ui_.fileAnswers = {old};
    item->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return model.Items().size() == 4; }));
    ASSERT_EQ(ui_.shownFiles.size(), 1u);
    EXPECT_EQ(ui_.shownFiles[0].caption, "Import a Windows Database");
    EXPECT_NE(ui_.shownFiles[0].contents.find("Table Log: 1 row read, 1 written"),
              std::string::npos)
        << ui_.shownFiles[0].contents;
    EXPECT_EQ(Find<QListWidget>(window, "lViewDatabasesIcons")->count(), 4);
    EXPECT_TRUE(fs::exists(schedule_ + "/KORA40.MDB"));
}

TEST_F(DatabaseChooserWindowTest, OnlyCancelClosesTheWindowWithoutAChoice) {
    DatabaseChooserModel model(ui_);
    DatabaseChooser window(model);
    Show(window, model);
    window.close();  // the close box
    EXPECT_TRUE(window.isVisible());
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_TRUE(window.isVisible());
    QTest::mouseClick(Find<QPushButton>(window, "cmdCancel"), Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.result(), QDialog::Rejected);
    EXPECT_EQ(model.ChosenFileName(), "");
}

TEST_F(DatabaseChooserWindowTest, CopyShowsItsStatusPanelWhileTheNameIsAsked) {
    DatabaseChooserModel model(ui_);
    DatabaseChooser window(model);
    Show(window, model);
    auto* panel = Find<QWidget>(window, "pnlStatus");
    EXPECT_FALSE(panel->isVisible());
    bool panelShown = false;
    QTimer::singleShot(0, [&] {
        ASSERT_TRUE(QTest::qWaitFor([] {
            return qobject_cast<gui::InputBox*>(QApplication::activeModalWidget()) != nullptr;
        }));
        panelShown = panel->isVisible() &&
                     Find<QLabel>(window, "lblSecondLine")->text() == "Creating new database..." &&
                     !Find<QPushButton>(window, "cmdOK")->isEnabled() &&
                     !Find<QPushButton>(window, "cmdCancel")->isEnabled();
        QApplication::activeModalWidget()->close();  // the name box cancelled
    });
    Find<QAction>(window, "mnuCopyDatabase")->trigger();
    EXPECT_TRUE(panelShown);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_TRUE(Find<QPushButton>(window, "cmdOK")->isEnabled());
    EXPECT_TRUE(Find<QPushButton>(window, "cmdCancel")->isEnabled());
}

}  // namespace
}  // namespace vantor
