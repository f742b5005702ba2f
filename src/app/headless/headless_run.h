#pragma once
// The unattended run: the main window's start-up and operations through the core model,
// with nobody at the workstation.

#include "headless/launch_options.h"

namespace vantor {

// Runs what the options ask for and returns the exit status (importer/exit_status.h).
int RunHeadless(const LaunchOptions& options);

}  // namespace vantor
