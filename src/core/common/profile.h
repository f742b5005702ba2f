#pragma once
// INI ("private profile") files, read and written the way the installation's other programs
// expect: section and key names compared without regard to case, the first match wins,
// values trimmed of surrounding blanks and of one pair of enclosing double quotes, and a
// missing file, section or key gives the default. A write changes only its own line (or
// appends the key at the end of its section, or the section at the end of the file) and keeps
// every other line, comment and the order; a missing file is created. Files are Windows-1252
// on disk; names and values are UTF-8 here.
//
// A bare file name ("VANTOR.INI") lives in the Windows directory (see platform_dirs.h); any
// other name is a path, looked up without regard to case when the exact spelling is absent.

#include <string>
#include <vector>

namespace vantor {

std::string GetProfileString(const std::string& file, const std::string& section,
                             const std::string& key, const std::string& defaultValue);
// The leading number of the value; the default when the key is missing, has no number, or
// holds a number that does not fit 32 bits (-2147483648 to 4294967295).
long GetProfileInt(const std::string& file, const std::string& section, const std::string& key,
                   long defaultValue);
// Writes one value; returns false when the file cannot be written.
bool WriteProfileString(const std::string& file, const std::string& section,
                        const std::string& key, const std::string& value);
// Removes one key (its line); true also when there was nothing to remove.
bool DeleteProfileKey(const std::string& file, const std::string& section, const std::string& key);
// The key names of a section in file order (empty when the file or section is missing).
std::vector<std::string> GetProfileKeys(const std::string& file, const std::string& section);
// The path an INI name refers to (bare names go to the Windows directory).
std::string ProfilePath(const std::string& file);

// Names on standard error an INI file that is there but is not read (not a regular file, too
// large, a line too long, not readable), and why; each of its keys reads as its default, as for
// a missing file. Reads of settings are no errors a person must answer, but a station whose
// settings are silently ignored must be able to find out why. Start-up calls it once for each
// settings file of the run, so that the line appears once however often the file is read.
void WarnOfUnreadableSettingsFile(const std::string& file);

}  // namespace vantor
