#pragma once
// The lines the splash and about window shows about the program and the workstation.

#include <string>

#include "common/system_info.h"

namespace vantor {

// "Version " + major.minor.revision of the program.
std::string VersionLine();

// The operating system, named from its version record: the Windows family by its release
// names ("Windows 2000", "Windows XP/2003", "Windows NT v6.1"), any other system by its own
// name and version ("Linux v6.1"); the service-pack text follows in brackets when present.
std::string PlatformLine(const OsVersion& version);

}  // namespace vantor
