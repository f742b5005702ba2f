#include "windowed_program.h"

#include <QEventLoop>
#include <QTimer>

#include "common/clock.h"
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
    if (!loaded) return 1;

    MainWindow window(model, ui, &dialogs);
    ui.SetOwner(&window);
    dialogs.SetOwner(&window);
    window.show();
    QEventLoop untilClosed;
    QObject::connect(&window, &MainWindow::closed, &untilClosed, &QEventLoop::quit);
    if (model.AutoRequested()) QTimer::singleShot(0, &window, [&window] { window.AutoStart(); });
    untilClosed.exec();
    ui.SetOwner(nullptr);
    dialogs.SetOwner(nullptr);
    return 0;
}

}  // namespace vantor::gui
