#pragma once
// Where the installation keeps its shared settings and data, held for the whole run by the
// session. The Audiowall part directories and the number of carts live with the Audiowall
// store (audiowall/), which reads them from the same configuration file.

#include <string>

#include "config/command_line.h"

namespace vantor {

struct SystemLocations {
    // The installation's configuration file. A bare name lives in the Windows directory.
    // Empty only when "/LI:" was given without a name: the Audiowall settings then come from
    // the registry and nothing is written to a configuration file.
    std::string ConfigFile = "VANTOR.INI";
    // The data directory (key "Data" of section "FileLocations"); empty when not set.
    std::string DataLocation;
    // DataLocation + "\VNTR_SYS.INI", or the file named with "/SI:".
    std::string SystemIniFile;
    // What the run was started with.
    StartupCommand CommandLine;
    // 0 unless "/DEBUG" asks for everything (-1) to be traced.
    int TraceLevel = 0;

    // The find dialog's initial options (section "AudioWall" of the configuration file).
    int SearchCartNotes = 0;
    int SearchCartsFromStart = 1;

    // The configuration file is chosen once per run, even when start-up runs again.
    bool configFileChosen = false;
};

}  // namespace vantor
