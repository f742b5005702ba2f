#pragma once
// The program at a desktop: the splash window through the start-up, then the main window
// until it is closed. "/AUTO" imports once start-up is done; "/QUIT" closes afterwards.

#include "config/command_line.h"

namespace vantor::gui {

struct WindowedOptions {
    StartupCommand command;  // the station's switches
};

// Needs a QApplication. Returns the exit status: 0 once the main window closed, 1 when the
// start-up ended the program.
int RunWindowedProgram(const WindowedOptions& options);

}  // namespace vantor::gui
