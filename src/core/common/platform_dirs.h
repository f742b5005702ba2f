#pragma once
// Directories the program finds its shared and own files in.

#include <string>

namespace vantor {

// Where bare INI names (VANTOR.INI, brixel.ini, system.ini) and registry.ini live:
// $VANTOR_WINDIR, else $XDG_CONFIG_HOME/vantor, else ~/.config/vantor.
std::string WindowsDirectory();
// Where an installed program finds the read-only files it ships (Updates.txt, LOGO.BMP),
// relative to the prefix its executable's "bin" directory sits in.
inline constexpr const char* kInstalledDataSubdirectory = "share/vantor-logimport";

// The program's own directory, where the report files go (error.log, history.log):
// $VANTOR_PROGRAM_DIR; else, for an installed program, $XDG_STATE_HOME/vantor-logimport
// (~/.local/state/vantor-logimport), created when missing, since /usr/bin is neither the
// station's nor writable; else (a run from the build tree) the directory of the executable.
std::string ProgramDirectory();
// The same decision for a given executable path.
std::string ProgramDirectoryOf(const std::string& executable);
// The installed program's read-only files: <prefix>/share/vantor-logimport when the executable
// lives in <prefix>/bin and that directory exists; empty for a program that is not installed.
std::string InstalledDataDirectoryOf(const std::string& executable);
// A file of the program's own (Updates.txt, LOGO.BMP): the one in the program directory when it
// is there, so that a station may put its own beside the report files; else the copy an
// installed program ships; else the program directory's name for it.
std::string ProgramFile(const std::string& name);
// The same for a given executable path.
std::string ProgramFileOf(const std::string& executable, const std::string& name);
// Where trace files go: $VANTOR_TRACE_DIR, else the system temporary directory.
std::string TraceDirectory();
// The system temporary directory ($TMPDIR or /tmp).
std::string TempDirectory();
// The executable's name without directory and extension ("vantor-logimport").
std::string ProgramName();

}  // namespace vantor
