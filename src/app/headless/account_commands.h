#pragma once
// The accounts of the users database kept without a window: a station that runs only this
// program has no other way to make the accounts its login asks for.

#include "headless/launch_options.h"

namespace vantor {

class Session;

// Runs the one account command of the options (--add-user, --set-password, --remove-user,
// --list-users) and returns the exit status: 2 for a refusal, with its message.
int RunAccountCommand(Session& session, const LaunchOptions& options);

}  // namespace vantor
