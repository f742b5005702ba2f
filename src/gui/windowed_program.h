#pragma once
// The program at a desktop: the splash window through the start-up, then the main window
// until it is closed. "/AUTO" imports once start-up is done; "/QUIT" closes afterwards.

#include "config/command_line.h"

namespace vantor::gui {

struct WindowedOptions {
    StartupCommand command;  // the station's switches
};

// Needs a QApplication. Returns the exit status: 1 when the start-up ended the program; with
// "/AUTO" and "/QUIT", once the window closed by itself after the import, the status the
// unattended run gives for the same work (0, 4, 3, 2); otherwise 0 once the main window closed.
int RunWindowedProgram(const WindowedOptions& options);

}  // namespace vantor::gui
