#pragma once
// "--import-windows-database=PATH" (once per file, "--replace" to replace an existing
// database): the databases of a Windows installation brought over without a window, each
// with its report on standard output.

#include <ostream>
#include <string>
#include <vector>

namespace vantor {

class Session;
struct WindowsImportReport;

// The exit status of one file's import: 0 everything came over, 4 something was left out,
// 2 the file was refused (nothing written), 3 writing failed.
int ExitStatusOf(const WindowsImportReport& report);

// Brings the files over in order (after the login that start-up asks for) and returns the
// status of the worst outcome among them.
int ImportWindowsDatabases(Session& session, const std::vector<std::string>& files, bool replace,
                           std::ostream& out);

}  // namespace vantor
