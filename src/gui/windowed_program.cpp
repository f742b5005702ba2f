#include "windowed_program.h"

#include <QEventLoop>
#include <QTimer>

#include <optional>

#include "common/clock.h"
#include "importer/exit_status.h"
#include "importer/main_window_model.h"
#include "main_window.h"
#include "qt_dialogs.h"
#include "qt_user_interface.h"
#include "session/session.h"

namespace vantor::gui {

int RunWindowedProgram(const WindowedOptions& options) {
    QtUserInterface ui;
    QtDialogs dialogs(ui);
    SystemClock clock;
    Session session(ui, dialogs, clock);
    dialogs.Attach(session);
    LogImportModel model(session);

    ui.ShowSplash();
    const bool loaded = model.Load(options.command);
    ui.HideSplash();
    if (!loaded) return exit_status::kStartupEnded;

    MainWindow window(model, dialogs);
    ui.SetOwner(&window);
    window.show();
    QEventLoop untilClosed;
    QObject::connect(&window, &MainWindow::closed, &untilClosed, &QEventLoop::quit);
    std::optional<ImportRunResult> autoRun;
    if (model.AutoRequested())
        QTimer::singleShot(0, &window, [&window, &autoRun] { autoRun = window.AutoStart(); });
    untilClosed.exec();
    ui.SetOwner(nullptr);
    // A scheduler that starts the windowed program with "/AUTO" "/QUIT" learns how the import
    // went, as from the unattended run; a person who closes the window has seen it already.
    if (autoRun && model.QuitRequested())
        return WithProblemReports(ExitStatusOf(*autoRun), ui.ProblemReportsShown());
    return exit_status::kDone;
}

}  // namespace vantor::gui
