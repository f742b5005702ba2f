#pragma once
// The program at a desktop: the splash window through the start-up, then the main window
// until it is closed. "/AUTO" imports once start-up is done; "/QUIT" closes afterwards.

#include <string>

namespace vantor::gui {

struct WindowedOptions {
    std::string commandLine;  // the station's switches, as one line
    bool autoImport = false;  // "--auto"
    bool quit = false;        // "--quit"
};

// Needs a QApplication. Returns the exit status: 0 once the main window closed, 1 when the
// start-up ended the program.
int RunWindowedProgram(const WindowedOptions& options);

}  // namespace vantor::gui
