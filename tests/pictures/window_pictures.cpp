// Takes a picture of every window of the program, for the README and for looking at them
// side by side. scripts/screenshots.sh runs it under a virtual display with the demo
// installation's environment.
//
//   vantor-window-pictures OUTPUT_DIRECTORY

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QThread>
#include <QWidget>
#include <iostream>
#include <string>

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <memory>

#include "common/clock.h"
#include "common/date_hour_picker_model.h"
#include "common/paths.h"
#include "common/platform_dirs.h"
#include "date_hour_picker.h"
#include "importer/main_window_model.h"
#include "input_box.h"
#include "main_window.h"
#include "progress_windows.h"
#include "qt_dialogs.h"
#include "qt_user_interface.h"
#include "session/session.h"
#include "splash_window.h"
#include "text_file_viewer.h"
#include "window_picture.h"

namespace {

using namespace vantor;
using namespace vantor::gui;

QString outputDirectory;
int failures = 0;

void Settle() {
    for (int i = 0; i < 10; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
}

// Shows the window, lets it settle and saves what it shows.
void Take(QWidget* window, const QString& name) {
    if (!window->isVisible()) window->show();
    window->raise();
    window->activateWindow();
    Settle();
    const QString path = QDir(outputDirectory).filePath(name + ".png");
    if (PictureOfWindow(window).save(path)) {
        std::cout << path.toStdString() << "\n";
    } else {
        std::cerr << "vantor-window-pictures: could not write " << path.toStdString() << "\n";
        ++failures;
    }
}

void SplashPictures(QtUserInterface& ui) {
    ui.ShowSplash();
    ui.SetStartupStatus("Reading Last Scheduled Information...");
    Take(ui.Splash(), "splash");
    ui.HideSplash();
    SplashWindow about(SplashWindow::Mode::About, nullptr);
    Take(&about, "about");
}

void PickerPicture(const Clock& clock) {
    DateHourPickerModel model(clock);
    model.tag = std::to_string(clock.Today() + 1) + "6";
    DateHourPicker picker(model, nullptr);
    Take(&picker, "date_hour_picker");
}

void InputBoxPicture() {
    InputBoxRequest request;
    request.title = "New Database";
    request.prompt = "Please enter a description for the new Kora database";
    request.defaultText = "Demo FM";
    request.maxLength = 50;
    InputBox box(request, nullptr);
    Take(&box, "input_box");
}

void ProgressPictures(QtUserInterface& ui) {
    ui.ShowDatabaseProgress(true);
    ui.SetDatabaseProgressText("Removing the entries of the range from the playout log");
    ui.SetDatabaseProgressTask("Removing hour 5 of 24");
    ui.SetDatabaseProgressValue(5, 24);
    Take(ui.DatabaseProgress(), "database_progress");
    ui.ShowDatabaseProgress(false);
}

// A message box is modal: it is pictured from inside its own event loop, then answered.
void MessagePicture(QtUserInterface& ui, const MessageRequest& request, const QString& name) {
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) return;
        poll.stop();
        Take(box, name);
        box->defaultButton()->click();
    });
    poll.start();
    (void)ui.ShowMessage(request);
}

void MessagePictures(QtUserInterface& ui) {
    MessagePicture(ui,
                   {"The log was successfully imported into the Kora database",
                    MessageIcon::Information, MessageButtons::Ok, std::nullopt, ""},
                   "message_box_information");
    MessagePicture(ui,
                   {"Are you sure that you want to delete this Kora V2.6 Database (Night shift)?",
                    MessageIcon::Question, MessageButtons::YesNo, MessageResult::No, ""},
                   "message_box_question");
}

QWidget* VisibleTopLevel(const QString& name) {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible() && widget->objectName() == name) return widget;
    return nullptr;
}

// The main window on the demo installation: after start-up, during an import (with the import
// progress window), and the error report the import shows at its end.
void MainWindowPictures(QtUserInterface& ui, const Clock& clock) {
    QtDialogs dialogs(ui);
    Session session(ui, dialogs, clock);
    dialogs.Attach(session);
    LogImportModel model(session);
    if (!model.Load(ParseCommandLine("KORA26.MDB"))) {
        std::cerr << "vantor-window-pictures: the demo installation did not start\n";
        ++failures;
        return;
    }
    MainWindow window(model, dialogs);
    ui.SetOwner(&window);
    window.resize(window.sizeHint());
    Take(&window, "main_window");

    // The preview of the proposed range, before anything is imported, in the text viewer.
    window.findChild<QAction*>("mnuPreviewImport")->trigger();
    if (QWidget* viewer = VisibleTopLevel("frmPrintPreview")) {
        Take(viewer, "import_preview");
        viewer->close();
    } else {
        std::cerr << "vantor-window-pictures: the preview showed no viewer\n";
        ++failures;
    }

    // The import hands control to pending events whenever a label changes: the pictures are
    // taken from there, once a few hours are in.
    bool taken = false;
    QTimer during;
    during.setInterval(0);
    QObject::connect(&during, &QTimer::timeout, [&] {
        ImportProgressWindow* progress = ui.ImportProgress();
        if (taken || !progress->isVisible()) return;
        const QString process = progress->ValueLabel(ImportProgressLabel::CurrentProcess)->text();
        const QString task = progress->ValueLabel(ImportProgressLabel::CurrentTask)->text();
        if (!process.contains("03:00") || !task.contains("Song")) return;
        taken = true;
        Take(&window, "main_window_importing");
        Take(progress, "import_progress");
    });
    // A message at the end (none is expected on a fresh demo) is pictured and answered.
    QTimer messages;
    messages.setInterval(50);
    QObject::connect(&messages, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            Take(box, "message_box");
            box->defaultButton()->click();
        }
    });
    during.start();
    messages.start();
    window.findChild<QPushButton*>("cmdSchedule")->click();
    during.stop();
    messages.stop();
    if (!taken) {
        std::cerr << "vantor-window-pictures: the import showed no progress\n";
        ++failures;
    }
    if (QWidget* viewer = VisibleTopLevel("frmPrintPreview")) {
        Take(viewer, "error_report");
        viewer->close();
    }
    Take(&window, "main_window_after_import");
    window.close();
    ui.SetOwner(nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::cerr << "usage: vantor-window-pictures OUTPUT_DIRECTORY\n";
        return 64;
    }
    outputDirectory = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(outputDirectory);

    SystemClock clock;
    QtUserInterface ui;
    SplashPictures(ui);
    MainWindowPictures(ui, clock);
    PickerPicture(clock);
    InputBoxPicture();
    ProgressPictures(ui);
    MessagePictures(ui);
    return failures == 0 ? 0 : 1;
}
