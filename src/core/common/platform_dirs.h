#pragma once
// Directories the program finds its shared and own files in.

#include <string>

namespace vantor {

// Where bare INI names (VANTOR.INI, brixel.ini, system.ini) and registry.ini live:
// $VANTOR_WINDIR, else $XDG_CONFIG_HOME/vantor, else ~/.config/vantor.
std::string WindowsDirectory();
// The program's own directory (error.log, history.log, Updates.txt, LOGO.BMP):
// $VANTOR_PROGRAM_DIR, else the directory of the running executable.
std::string ProgramDirectory();
// Where trace files go: $VANTOR_TRACE_DIR, else the system temporary directory.
std::string TraceDirectory();
// The system temporary directory ($TMPDIR or /tmp).
std::string TempDirectory();
// The executable's name without directory and extension ("vantor-logimport").
std::string ProgramName();

}  // namespace vantor
