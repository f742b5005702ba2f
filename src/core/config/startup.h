#pragma once
// Start-up: the switches, the choice of configuration file, the installation's locations and
// the standard data directories. The main window calls these in order while its splash shows.

#include <string>

#include "config/system_locations.h"

namespace vantor {

class Clock;
class ConfigDialogs;
class UserInterface;
struct AudiowallState;

// Registry keys of the installation (below HKEY_LOCAL_MACHINE).
inline constexpr const char* kProductRegistryKey = "SOFTWARE\\Tressel\\Vantor";
inline constexpr const char* kVersion2RegistryKey = "Software\\Tressel\\Vantor v2";

// Records the command, chooses the configuration file (once per run), applies "/DEBUG" and
// gives the small-screen warning. False when no configuration file was chosen.
bool PrepareStartupEnvironment(SystemLocations& locations, UserInterface& ui,
                               ConfigDialogs& dialogs, const StartupCommand& command);

// "/LI:" names the file; otherwise an installation with configuration sets asks which one.
bool ChooseConfigFile(SystemLocations& locations, UserInterface& ui, ConfigDialogs& dialogs);

// Shows the small-screen warning once per workstation when the screen is under 600 pixels high.
void SmallScreenWarning(UserInterface& ui);

// The text of that warning.
std::string SmallScreenWarningText();

// The whole reading of the installation's settings at start-up: the environment (switches,
// configuration file, screen check), the Audiowall settings, the data location and the find
// dialog's options. False when start-up must end (no configuration file was chosen).
bool ReadInstallationSettings(SystemLocations& locations, AudiowallState& audiowall,
                              UserInterface& ui, ConfigDialogs& dialogs, const Clock& clock,
                              const StartupCommand& command);

// DataLocation from the configuration file; empty when the file or key is missing.
void ReadDataLocation(SystemLocations& locations);
// The find dialog's initial search options from section "AudioWall".
void ReadDisplaySettings(SystemLocations& locations);

// SystemIniFile = DataLocation + "\VNTR_SYS.INI", or the "/SI:" file. Always succeeds.
bool LocateSystemIniFile(SystemLocations& locations);

// Creates the standard directories under the data location when they are missing: USERS,
// SCHEDULE, Logs, Commands, Scripts. Nothing else is attempted after a failure on USERS.
void EnsureDataDirectories(const std::string& dataLocation, UserInterface& ui);

}  // namespace vantor
