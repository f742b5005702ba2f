// vantor-logimport: imports scheduler logs into a Kora playout database, at a desktop or
// unattended ("--headless", for a scheduler).
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "importer/exit_status.h"
#include "headless/headless_run.h"
#include "headless/launch_options.h"

#ifdef VANTOR_WITH_GUI
#include <QApplication>

#include "windowed_program.h"
#endif

namespace {

bool Set(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

// Windows need a display server, or a Qt platform chosen explicitly (offscreen, vnc, ...).
// Without one Qt would abort; the operator is told what to do instead.
bool HasDisplay() { return Set("DISPLAY") || Set("WAYLAND_DISPLAY") || Set("QT_QPA_PLATFORM"); }

}  // namespace

int main(int argc, char** argv) {
    using namespace vantor;
    std::vector<std::string> arguments(argv + 1, argv + argc);
    LaunchParse parse = ParseLaunchOptions(arguments);
    if (!parse.error.empty()) {
        std::cerr << "vantor-logimport: " << parse.error << "\n"
                  << "Try 'vantor-logimport --help'.\n";
        return exit_status::kBadCommandLine;
    }
    const LaunchOptions& options = parse.options;
    if (options.help) {
        std::cout << UsageText();
        return exit_status::kDone;
    }
    if (options.version) {
        std::cout << "vantor-logimport " << VANTOR_VERSION_MAJOR << "." << VANTOR_VERSION_MINOR
                  << "." << VANTOR_VERSION_PATCH << "\n";
        return exit_status::kDone;
    }
    // Creating a database, storing the file locations or keeping the accounts never needs a
    // window.
    if (options.headless || options.createDatabase || options.SetsFileLocations() ||
        options.ManagesAccounts())
        return RunHeadless(options);

    if (!HasDisplay()) {
        std::cerr << "vantor-logimport: there is no display to show the windows on (neither "
                     "DISPLAY nor WAYLAND_DISPLAY is set); for an unattended import run it "
                     "with --headless\n"
                  << "Try 'vantor-logimport --help'.\n";
        return exit_status::kStartupEnded;
    }
#ifdef VANTOR_WITH_GUI
    QApplication application(argc, argv);
    gui::WindowedOptions windowed;
    windowed.command = options.command;
    return gui::RunWindowedProgram(windowed);
#else
    std::cerr << "vantor-logimport: this build has no windows; run it with --headless\n"
              << "Try 'vantor-logimport --help'.\n";
    return exit_status::kBadCommandLine;
#endif
}
