// Takes a picture of every window of the program, for the README and for looking at them
// side by side. scripts/screenshots.sh runs it under a virtual display with the demo
// installation's environment.
//
//   vantor-window-pictures OUTPUT_DIRECTORY

#include <QApplication>
#include <QDir>
#include <QThread>
#include <QWidget>
#include <iostream>
#include <string>

#include "common/clock.h"
#include "common/date_hour_picker_model.h"
#include "common/paths.h"
#include "common/platform_dirs.h"
#include "date_hour_picker.h"
#include "input_box.h"
#include "progress_windows.h"
#include "qt_user_interface.h"
#include "splash_window.h"
#include "text_file_viewer.h"

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
    if (window->grab().save(path)) {
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
    ui.ShowImportProgress(true);
    ui.SetImportProgressText(ImportProgressLabel::OverallProcess, "Importing 3 days");
    ui.SetImportProgressText(ImportProgressLabel::CurrentProcess, "Importing the hours of a day");
    ui.SetImportProgressText(ImportProgressLabel::CurrentTask, "Importing hour 06:00");
    ui.SetImportProgressValue(ImportProgressBar::OverallProcess, 1, 3);
    ui.SetImportProgressValue(ImportProgressBar::CurrentProcess, 6, 24);
    Take(ui.ImportProgress(), "import_progress");
    ui.ShowImportProgress(false);
    ui.ShowDatabaseProgress(true);
    ui.SetDatabaseProgressText("Removing the entries of the range from the playout log");
    ui.SetDatabaseProgressTask("Removing hour 5 of 24");
    ui.SetDatabaseProgressValue(5, 24);
    Take(ui.DatabaseProgress(), "database_progress");
    ui.ShowDatabaseProgress(false);
}

void ViewerPicture(QtUserInterface& ui) {
    TextFileViewer viewer(ui, nullptr);
    viewer.setWindowTitle("Error Report");
    viewer.SetDisplayFileName(JoinPath(ProgramDirectory(), "error.log"));
    Take(&viewer, "error_report");
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
    PickerPicture(clock);
    InputBoxPicture();
    ProgressPictures(ui);
    ViewerPicture(ui);
    return failures == 0 ? 0 : 1;
}
