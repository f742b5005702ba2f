#pragma once
// Where the importer's own settings are kept: HOLBRANE.INI in the data location, except the
// login switch, which the installation keeps in its system settings file beside the other
// programs' switches.

#include <string>

#include "session/session_settings.h"

namespace vantor {

struct SystemLocations;

// DataLocation + "\HOLBRANE.INI".
std::string ImportSettingsFile(const SystemLocations& locations);

// Reads every value; a missing file or key gives the value's default.
void LoadSettings(ImportSettings& settings, const SystemLocations& locations);

// Writes every value to HOLBRANE.INI, then the login switch to the system settings file.
// Returns false when a file could not be written (nothing is reported, as for every INI write).
bool SaveSettings(const ImportSettings& settings, const SystemLocations& locations);

}  // namespace vantor
