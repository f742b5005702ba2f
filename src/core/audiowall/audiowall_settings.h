#pragma once
// Where the Audiowall is and how big it is: read at start-up from the installation's
// configuration file (or, without one, from the registry) and from the store's own settings
// file Audwall.ini in part 1's directory, which also carries the store's version.

#include <cstdint>
#include <string>

#include "audiowall/audiowall_store.h"

namespace vantor {

class Clock;
class UserInterface;

// The store-wide settings file in a part-1 directory.
std::string AudwallIniPath(const std::string& part1Directory);

// Reads the part directories, the individual-list flag, the empty-cart colours and the fade
// point from configFile (or, when it is empty, from the registry under registryPath), then
// MaxCart from Audwall.ini, and upgrades a store older than version 2.6 (one backup of its
// lists, then Version=2.6). Missing values take their defaults; nothing here fails.
void LoadAudiowallSettings(AudiowallState& state, UserInterface& ui, const Clock& clock,
                           const std::string& configFile, const std::string& registryPath);

// MaxCart from NoCarts of Audwall.ini in part 1's directory (9999 when missing); also used
// after the file locations have changed.
void ReadMaxCart(AudiowallState& state);

// Copies every part's list into <directory>\Backups\<yyyy-mm-dd> (a part whose list is
// missing is skipped). Stops quietly at the first error. Returns false when it stopped early.
bool BackupCartLists(AudiowallState& state, UserInterface& ui, const Clock& clock, bool force);

// The file cache of the old consumer Windows line needed tuning for audio playback; this
// platform's cache needs none, so nothing is changed. With verbose, says so.
void CheckFileCacheTuning(UserInterface& ui, const std::string& registryPath, bool verbose);

}  // namespace vantor
