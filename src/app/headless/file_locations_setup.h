#pragma once
// "--set-data-location=DIR" and "--set-cart-directory=DIR": the file locations window's work
// without a display, so that a server is set up from a shell. The locations go through the
// window's own model and its OK, so the configuration file gets the very keys the window
// writes, and the data directories are made as it makes them.

namespace vantor {

class Session;
struct LaunchOptions;

// Stores the locations the options give (the others keep their stored values) and returns
// the exit status: a directory that neither exists nor can be created is refused before
// anything is written.
int SetUpFileLocations(Session& session, const LaunchOptions& options);

}  // namespace vantor
