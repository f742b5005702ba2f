// The window tests need one QApplication for the whole run; without a display they draw
// off screen.
#include <gtest/gtest.h>

#include "common/locale.h"
#include "gui_test_support.h"
#include <QApplication>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Dates are typed and shown day-month-year, whatever the machine's locale.
    vantor::SetDateLocale(vantor::DateLocale{});
    ::testing::InitGoogleTest(&argc, argv);
    vantor::gui::testing::InstallModalWatchdog();
    return RUN_ALL_TESTS();
}
