#include <gtest/gtest.h>
#include <QApplication>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPrintDialog>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextEdit>

#include "file_dialogs.h"
#include "gui_test_support.h"
#include "progress_windows.h"
#include "qt_user_interface.h"
#include "splash_window.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "text_file_viewer.h"

namespace vantor::gui {
namespace {

using namespace vantor::gui::testing;
using vantor::testing::ScopedEnv;
using vantor::testing::TempDir;

MessageRequest Request(MessageButtons buttons, MessageResult defaultButton,
                       MessageIcon icon = MessageIcon::Question) {
    MessageRequest request;
    request.text = "Are you sure?";
    request.icon = icon;
    request.buttons = buttons;
    request.defaultButton = defaultButton;
    return request;
}

TEST(QtMessageBox, ShowsIconButtonsAndDefault) {
    QtUserInterface ui;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title, text;
    WhenModal("MessageBox", [&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        icon = box->icon();
        title = box->windowTitle();
        text = box->text();
        EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::No));
        EXPECT_NE(box->button(QMessageBox::Yes), nullptr);
        EXPECT_EQ(ButtonsDeafToReturn(box).join(", ").toStdString(), "");
        QTest::keyClick(box, Qt::Key_Return);  // Enter presses the default
    });
    EXPECT_EQ(ui.ShowMessage(Request(MessageButtons::YesNo, MessageResult::No)), MessageResult::No);
    EXPECT_EQ(icon, QMessageBox::Question);
    EXPECT_EQ(title, "Vantor Log Import");
    EXPECT_EQ(text, "Are you sure?");

    struct Case {
        MessageIcon icon;
        QMessageBox::Icon shown;
    } icons[] = {{MessageIcon::Information, QMessageBox::Information},
                 {MessageIcon::Warning, QMessageBox::Warning},
                 {MessageIcon::Error, QMessageBox::Critical},
                 {MessageIcon::None, QMessageBox::NoIcon}};
    for (const Case& c : icons) {
        WhenModal("MessageBox", [&](QWidget* modal) {
            icon = static_cast<QMessageBox*>(modal)->icon();
            QTest::keyClick(modal, Qt::Key_Return);
        });
        EXPECT_EQ(ui.ShowMessage(Request(MessageButtons::Ok, MessageResult::Ok, c.icon)),
                  MessageResult::Ok);
        EXPECT_EQ(icon, c.shown);
    }
}

TEST(QtMessageBox, EscapePressesCancelOnlyWhereThereIsOne) {
    QtUserInterface ui;
    WhenModal("MessageBox", [](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
    EXPECT_EQ(ui.ShowMessage(Request(MessageButtons::YesNoCancel, MessageResult::Yes)),
              MessageResult::Cancel);

    // Yes/No has no button for Escape: the box stays until a button is pressed.
    bool stillOpen = false;
    WhenModal("MessageBox", [&](QWidget* modal) {
        QTest::keyClick(modal, Qt::Key_Escape);
        stillOpen = modal->isVisible();
        QTest::mouseClick(static_cast<QMessageBox*>(modal)->button(QMessageBox::Yes),
                          Qt::LeftButton);
    });
    EXPECT_EQ(ui.ShowMessage(Request(MessageButtons::YesNo, MessageResult::No)),
              MessageResult::Yes);
    EXPECT_TRUE(stillOpen);
}

TEST(QtInputBox, CancelReturnsNoTextWhateverWasTyped) {
    QtUserInterface ui;
    InputBoxRequest request;
    request.prompt = "  Enter the new name  ";
    request.title = " Rename ";
    request.defaultText = "OLD";
    request.maxLength = 6;
    QString prompt, title;
    WhenModal("frmGoodInputBox", [&](QWidget* box) {
        prompt = Child<QLabel>(box, "Label1")->text();
        title = box->windowTitle();
        EXPECT_EQ(ButtonsDeafToReturn(box).join(", ").toStdString(), "");
        EXPECT_EQ(NeedlessFrameButtons(box).join(", ").toStdString(), "");
        auto* text = Child<QLineEdit>(box, "Text1");
        QTest::keyClicks(text, "TYPED");
        QTest::mouseClick(Child<QPushButton>(box, "cmdCancel"), Qt::LeftButton);
    });
    InputBoxResult result = ui.InputBox(request);
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(result.text, "");
    EXPECT_EQ(prompt, "Enter the new name");
    EXPECT_EQ(title, "Rename");

    WhenModal("frmGoodInputBox", [](QWidget* box) {
        QTest::keyClicks(Child<QLineEdit>(box, "Text1"), "TYPED");
        QTest::keyClick(box, Qt::Key_Escape);
    });
    result = ui.InputBox(request);
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(result.text, "");

    // OK returns the text, cut at the maximum length; the default was selected, so typing
    // replaces it.
    WhenModal("frmGoodInputBox", [](QWidget* box) {
        QTest::keyClicks(Child<QLineEdit>(box, "Text1"), "NEWNAME99");
        QTest::keyClick(Child<QLineEdit>(box, "Text1"), Qt::Key_Return);
    });
    result = ui.InputBox(request);
    EXPECT_FALSE(result.cancelled);
    EXPECT_EQ(result.text, "NEWNAM");
}

TEST(QtInputBox, PasswordCharacterMasksTheInput) {
    QtUserInterface ui;
    InputBoxRequest request;
    request.prompt = "Password";
    request.passwordChar = "#x";
    QString shown;
    WhenModal("frmGoodInputBox", [&](QWidget* box) {
        auto* text = Child<QLineEdit>(box, "Text1");
        QTest::keyClicks(text, "abc");
        shown = text->displayText();
        QTest::mouseClick(Child<QPushButton>(box, "cmdOk"), Qt::LeftButton);
    });
    const InputBoxResult result = ui.InputBox(request);
    EXPECT_EQ(shown, "###");
    EXPECT_EQ(result.text, "abc");
}

TEST(QtFileDialogs, FiltersDefaultExtensionAndCancel) {
    EXPECT_EQ(QtFilterOf("Kora Databases|*.MDB|All Files|*.*"),
              "Kora Databases (*.MDB);;All Files (*.*)");
    EXPECT_EQ(QtFilterOf("Text|*.txt;*.log"), "Text (*.txt *.log)");

    TempDir dir;
    QtUserInterface ui;
    FileDialogRequest request;
    request.title = "Save the database as";
    request.filter = "Kora Databases|*.MDB";
    request.initialDirectory = dir.path();
    request.defaultExtension = "MDB";
    WhenModal("Selector", [](QWidget* dialog) {
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        name->setText("NEWSTATION");
        QTest::keyClick(name, Qt::Key_Return);
    });
    const std::optional<std::string> chosen = ui.ChooseSaveFile(request);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, dir.path() + "/NEWSTATION.MDB");

    WhenModal("Selector", [](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
    EXPECT_FALSE(ui.ChooseOpenFile(request).has_value());
}

TEST(QtHourglass, SetAndAlwaysRestored) {
    QtUserInterface ui;
    ASSERT_EQ(QApplication::overrideCursor(), nullptr);
    {
        HourglassGuard hourglass(ui);
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        {
            HourglassGuard nested(ui);  // already the hourglass: nothing more to restore
        }
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        // A message in the middle of a long operation gets the arrow.
        Qt::CursorShape during = Qt::WaitCursor;
        WhenModal("MessageBox", [&](QWidget* box) {
            during = QApplication::overrideCursor()->shape();
            QTest::keyClick(box, Qt::Key_Return);
        });
        ShowInformation(ui, "Halfway");
        EXPECT_EQ(during, Qt::ArrowCursor);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // An interface that goes away with the hourglass up takes it with it.
    {
        QtUserInterface leaving;
        (void)leaving.SetCursor(MouseCursor::Hourglass);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// Records the text a label had each time it was painted.
class PaintedTexts : public QObject {
  public:
    explicit PaintedTexts(QLabel* label) : label_(label) { label->installEventFilter(this); }
    QStringList texts;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == label_ && event->type() == QEvent::Paint) texts << label_->text();
        return false;
    }

  private:
    QLabel* label_;
};

TEST(QtProgressWindows, LabelIsDrawnBeforeTheNextItem) {
    QtUserInterface ui;
    QWidget owner;
    owner.setObjectName("owner");
    owner.resize(300, 200);
    owner.show();
    ui.SetOwner(&owner);

    ui.ShowImportProgress(true);
    ImportProgressWindow* window = ui.ImportProgress();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    EXPECT_EQ(window->objectName(), "frmLogImportProgress");
    EXPECT_EQ(window->windowTitle(), "Log Import Progress");
    // The off-screen platform activates every window it shows, so the test can only check
    // that the window asks a real desktop not to be activated.
    EXPECT_TRUE(window->testAttribute(Qt::WA_ShowWithoutActivating));

    auto* task = Child<QLabel>(window, "lblCurrentTask");
    PaintedTexts painted(task);
    // Each item of a long operation changes the label and goes straight on with its work:
    // the new text must be on the screen before the call returns.
    for (const char* item : {"Importing hour 06:00", "Importing hour 07:00"}) {
        ui.SetImportProgressText(ImportProgressLabel::CurrentTask, item);
        ASSERT_FALSE(painted.texts.isEmpty());
        EXPECT_EQ(painted.texts.back(), item);
    }
    ui.SetImportProgressText(ImportProgressLabel::OverallProcess, "Day 1 of 2");
    EXPECT_EQ(Child<QLabel>(window, "lblOverallProcess")->text(), "Day 1 of 2");
    ui.SetImportProgressValue(ImportProgressBar::CurrentProcess, 7, 24);
    auto* bar = Child<QProgressBar>(window, "progCurrentProcess");
    EXPECT_EQ(bar->value(), 7);
    EXPECT_EQ(bar->maximum(), 24);
    ui.ShowImportProgress(false);
    EXPECT_FALSE(window->isVisible());

    ui.ShowDatabaseProgress(true);
    DatabaseProgressWindow* database = ui.DatabaseProgress();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(database));
    EXPECT_EQ(database->windowTitle(), "Vantor Kora Interface");
    EXPECT_TRUE(database->testAttribute(Qt::WA_ShowWithoutActivating));
    PaintedTexts databaseTask(Child<QLabel>(database, "lblCurrentTask"));
    ui.SetDatabaseProgressTask("Removing hour 3 of 9");
    ASSERT_FALSE(databaseTask.texts.isEmpty());
    EXPECT_EQ(databaseTask.texts.back(), "Removing hour 3 of 9");
    ui.SetDatabaseProgressText("Removing entries");
    EXPECT_EQ(Child<QTextEdit>(database, "rtfText")->toPlainText(), "Removing entries");
    ui.SetDatabaseProgressValue(3, 9);
    EXPECT_EQ(Child<QProgressBar>(database, "progOverallProcess")->value(), 3);
    ui.ShowDatabaseProgress(false);
}

TEST(QtTextFileViewer, MissingOrEmptyFileShowsAnEmptyPageWithoutAMessage) {
    TempDir dir;
    QtUserInterface ui;
    for (const std::string& path : {dir / "missing.log", dir.WriteFile("empty.log", "")}) {
        ui.ShowTextFile("Error Report", path);
        QWidget* viewer = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (viewer = TopLevel("frmPrintPreview")) != nullptr; }));
        QTest::qWait(50);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        EXPECT_EQ(viewer->windowTitle(), "Error Report");
        EXPECT_EQ(Child<QTextEdit>(viewer, "rtfFile")->toPlainText(), "");
        QTest::mouseClick(Child<QPushButton>(viewer, "cmdDone"), Qt::LeftButton);
        ASSERT_TRUE(WaitFor([] { return TopLevel("frmPrintPreview") == nullptr; }));
    }
}

TEST(QtTextFileViewer, ShowsSavesAndPrintsTheText) {
    TempDir dir;
    QtUserInterface ui;
    TextFileViewer viewer(ui, nullptr);
    viewer.SetDisplayFileName(dir.WriteFile("error.log", "first line\r\nsecond line\r\n"));
    viewer.show();
    auto* text = Child<QTextEdit>(&viewer, "rtfFile");
    EXPECT_EQ(text->toPlainText(), "first line\nsecond line\n");
    EXPECT_EQ(text->textCursor().position(), 0);
    EXPECT_TRUE(text->isReadOnly());
    EXPECT_TRUE(text->font().fixedPitch());
    EXPECT_EQ(ButtonsDeafToReturn(&viewer).join(", ").toStdString(), "");

    QString saveTitle;
    WhenModal("Selector", [&](QWidget* dialog) {
        saveTitle = dialog->windowTitle();
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        name->setText(QString::fromStdString(dir / "copy.txt"));
        QTest::keyClick(name, Qt::Key_Return);
    });
    QTest::mouseClick(Child<QPushButton>(&viewer, "cmdSave"), Qt::LeftButton);
    EXPECT_EQ(saveTitle, "Select File to Save to");
    EXPECT_EQ(dir.ReadFile("copy.txt"), "first line\r\nsecond line\r\n");

    // With text selected the printer dialog offers the selection alone.
    QTest::keyClick(text, Qt::Key_End, Qt::ShiftModifier);
    bool offersSelection = false;
    WhenModal("PrintDialog", [&](QWidget* dialog) {
        auto* print = qobject_cast<QPrintDialog*>(dialog);
        ASSERT_NE(print, nullptr);
        offersSelection = print->testOption(QAbstractPrintDialog::PrintSelection);
        print->reject();
    });
    QTest::mouseClick(Child<QPushButton>(&viewer, "cmdPrint"), Qt::LeftButton);
    EXPECT_TRUE(offersSelection);
}

TEST(QtTextFileViewer, OpensWideEnoughForItsLongestLineUpToTheScreen) {
    const std::string resent =
        "06/03/2000 09:30:00 The following hour was already in Kora so was not re-sent : "
        "Monday 06 March 2000 05:00";
    const std::string summary =
        "Preview of 06/03/2000 05:00 to 06/03/2000 08:00: 4 hours would be imported, "
        "12 items, 1 cart not in the Audiowall";
    const struct {
        const char* what;
        bool fromFile;
        std::string text;
        bool fitsOnScreen;
    } cases[] = {
        {"a report whose lines end in an hour", true, "Import report\r\n" + resent + "\r\n", true},
        {"a preview's summary line", false, summary + "\n\nhour 05:00\n", true},
        {"a line longer than the screen is wide", true, std::string(400, 'x') + "\r\n", false},
    };
    TempDir dir;
    QtUserInterface ui;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TextFileViewer viewer(ui, nullptr);
        if (c.fromFile)
            viewer.SetDisplayFileName(dir.WriteFile("report.log", c.text));
        else
            viewer.SetDisplayText(c.text);
        viewer.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&viewer));
        const QRect area = viewer.screen()->availableGeometry();
        QScrollBar* across = Child<QTextEdit>(&viewer, "rtfFile")->horizontalScrollBar();
        if (c.fitsOnScreen) {
            EXPECT_TRUE(WaitFor([&] { return across->maximum() == 0; }))
                << "a line is cut: " << across->maximum() << " pixels out of sight";
        } else {
            EXPECT_TRUE(WaitFor([&] { return across->maximum() > 0; }));
            EXPECT_EQ(viewer.frameGeometry().width(), area.width());
        }
        EXPECT_TRUE(area.contains(viewer.frameGeometry()))
            << "frame " << viewer.frameGeometry().x() << "," << viewer.frameGeometry().y() << " "
            << viewer.frameGeometry().width() << "x" << viewer.frameGeometry().height();
    }
}

TEST(QtTextFileViewer, FolderListChoosesTheFileShown) {
    TempDir dir;
    dir.WriteFile("notes/Monday.txt", "monday's notes");
    dir.WriteFile("notes/Tuesday.txt", "tuesday's notes");
    dir.WriteFile("notes/other.log", "not listed");
    QtUserInterface ui;
    TextFileViewer viewer(ui, nullptr);
    viewer.show();
    viewer.DisplayFolder(dir / "notes", "txt");
    auto* list = Child<QListWidget>(&viewer, "listFiles");
    EXPECT_TRUE(list->isVisible());
    EXPECT_EQ(ControlsWithoutTheirOwnName(&viewer).join("; ").toStdString(), "");
    ASSERT_EQ(list->count(), 2);
    QListWidgetItem* tuesday = list->item(1);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(tuesday).center());
    EXPECT_EQ(Child<QTextEdit>(&viewer, "rtfFile")->toPlainText(), "tuesday's notes");
    viewer.HideFolder();
    EXPECT_FALSE(list->isVisible());
}

TEST(QtSplashWindow, ShowsVersionStatusAndTheStationLogo) {
    TempDir dir;
    ScopedEnv programDir("VANTOR_PROGRAM_DIR", dir.path());
    QtUserInterface ui;
    ui.ShowSplash();
    SplashWindow* splash = ui.Splash();
    ASSERT_NE(splash, nullptr);
    EXPECT_TRUE(Child<QLabel>(splash, "lblVersion")->text().startsWith("Version "));
    EXPECT_EQ(Child<QLabel>(splash, "lblProductName")->text(), "Vantor Log Importer");
    EXPECT_FALSE(Child<QLabel>(splash, "lblPlatform")->text().isEmpty());
    EXPECT_EQ(splash->findChild<QPushButton*>("cmdOK"), nullptr);
    ui.SetStartupStatus("Reading Local Settings...");
    EXPECT_EQ(Child<QLabel>(splash, "lblCurrentAction")->text(), "Reading Local Settings...");
    EXPECT_EQ(Child<QLabel>(splash, "imgLogo")->pixmap().width(), 120);  // built in
    ui.HideSplash();
    EXPECT_EQ(ui.Splash(), nullptr);

    QImage logo(64, 40, QImage::Format_RGB32);
    logo.fill(Qt::red);
    ASSERT_TRUE(logo.save(QString::fromStdString(dir / "logo.bmp"), "BMP"));
    SplashWindow about(SplashWindow::Mode::About, nullptr);
    EXPECT_EQ(Child<QLabel>(&about, "imgLogo")->pixmap().size(), QSize(64, 40));
    WhenModal("frmSplash", [](QWidget* window) {
        EXPECT_EQ(ButtonsDeafToReturn(window).join(", ").toStdString(), "");
        QTest::mouseClick(Child<QPushButton>(window, "cmdOK"), Qt::LeftButton);
    });
    EXPECT_EQ(about.exec(), QDialog::Accepted);
}

}  // namespace
}  // namespace vantor::gui
