// The window tests need one QApplication for the whole run; without a display they draw
// off screen.
#include <gtest/gtest.h>

#include "common/locale.h"
#include "gui_test_support.h"
#include <QApplication>
#include <QByteArray>
#include <QTemporaryDir>
#include <QFile>

int main(int argc, char** argv) {
    // Off screen the windows get a workstation's screen, wider than the platform's own 800
    // pixels, so that a window sized to its contents can show them whole.
    QTemporaryDir screens;
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if ((platform.isEmpty() || platform == "offscreen") && screens.isValid()) {
        QFile config(screens.filePath("screens.json"));
        if (config.open(QIODevice::WriteOnly)) {
            config.write(R"({"screens": [{"name": "Workstation", "x": 0, "y": 0,
                             "width": 1280, "height": 1024, "logicalDpi": 96,
                             "logicalBaseDpi": 96, "dpr": 1}]})");
            config.close();
            qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName().toUtf8());
        }
    }
    QApplication app(argc, argv);
    // Dates are typed and shown day-month-year, whatever the machine's locale.
    vantor::SetDateLocale(vantor::DateLocale{});
    ::testing::InitGoogleTest(&argc, argv);
    vantor::gui::testing::InstallModalWatchdog();
    return RUN_ALL_TESTS();
}
