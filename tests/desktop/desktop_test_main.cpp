// The window tests on a desktop: each test program run starts its own virtual display with a
// real window manager, and the windows under test are shown there, as at a station. A desktop
// that cannot be started is a failure, never a reason to skip.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <iostream>

#include "common/locale.h"
#include "x_desktop.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests (as CTest does to register them) needs no display.
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();

    // A screen as small as a station's: what fits here fits there.
    vantor::testing::VirtualDesktop desktop(1024, 768);
    if (!desktop.ok()) {
        std::cerr << "test_desktop: " << desktop.error() << "\n";
        return 1;
    }
    setenv("DISPLAY", desktop.display().c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    unsetenv("WAYLAND_DISPLAY");
    int status = 0;
    {
        QApplication application(argc, argv);
        // Dates are typed and shown day-month-year, whatever the machine's locale.
        vantor::SetDateLocale(vantor::DateLocale{});
        status = RUN_ALL_TESTS();
    }
    return status;
}
