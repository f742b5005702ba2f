#include "headless/headless_run.h"

#include <iostream>

#include "headless/exit_status.h"
#include "headless/headless_user_interface.h"

namespace vantor {

int RunHeadless(const LaunchOptions& options) {
    HeadlessUserInterface ui(std::cout, std::cerr);
    (void)options;
    ShowError(ui, "the unattended import is not available in this build yet");
    return exit_status::kStartupEnded;
}

}  // namespace vantor
