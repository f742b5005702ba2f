#include "config/startup.h"

#include "audiowall/audiowall_settings.h"
#include "common/files.h"
#include "common/paths.h"
#include "common/problem_report.h"
#include "common/profile.h"
#include "common/registry.h"
#include "common/text.h"
#include "common/user_interface.h"
#include "config/config_dialogs.h"
#include "config/config_set_model.h"
#include "config/product_info.h"

namespace vantor {

namespace {

// The private-profile functions read into a buffer of 255 characters: 254 and the terminator.
std::string ReadProfileText(const std::string& file, const char* section, const char* key,
                            const std::string& defaultValue) {
    if (file.empty()) return defaultValue;
    std::string value = GetProfileString(file, section, key, defaultValue);
    if (value.size() > 254) value.resize(254);
    return value;
}

}  // namespace

std::string SmallScreenWarningText() {
    return std::string(kProductName) +
           " is designed to work with a minimum screen resolution of 800x600.\n\n"
           "Your screen is set smaller than this, so some graphics will not appear correctly.\n\n"
           "Tressel will only provide technical support for this product for systems running "
           "at 800x600 resolution or higher. For more information, email " +
           kSupportEmail;
}

void SmallScreenWarning(UserInterface& ui) {
    // Only the height matters: the windows are laid out for 600 pixels of it.
    if (ui.ScreenHeight() >= 600) return;
    if (ReadRegistryNumber(RegistryRoot::LocalMachine, kVersion2RegistryKey, "LowDisplayResWarning",
                           0) != 0)
        return;
    ShowWarning(ui, SmallScreenWarningText());
    WriteRegistryNumber(RegistryRoot::LocalMachine, kVersion2RegistryKey, "LowDisplayResWarning", 1,
                        0);
}

bool ChooseConfigFile(SystemLocations& locations, UserInterface& ui, ConfigDialogs& dialogs) {
    locations.ConfigFile = "VANTOR.INI";
    if (locations.CommandLine.configFile) {
        locations.ConfigFile = *locations.CommandLine.configFile;
        return true;
    }
    if (ReadRegistryNumber(RegistryRoot::LocalMachine, kProductRegistryKey, "MultiConfigFile", 0) ==
        0)
        return true;

    ConfigSetModel model(ui);
    model.HK_PRODUCT_KEY = kProductRegistryKey;
    model.StandardConfigFile = "vantor.ini";
    model.ConfigFile = locations.ConfigFile;
    model.Load();
    model.optionsMenuVisible = false;
    bool chosen = false;
    {
        HourglassGuard arrow(ui, MouseCursor::Default);
        chosen = dialogs.RunConfigSet(model);
    }
    // A dialog that could not be shown (no display) chooses nothing, like a cancelled one.
    locations.ConfigFile = chosen ? model.ConfigFile : std::string();
    return !locations.ConfigFile.empty();
}

bool PrepareStartupEnvironment(SystemLocations& locations, UserInterface& ui,
                               ConfigDialogs& dialogs, const StartupCommand& command) {
    locations.CommandLine = command;
    if (!locations.configFileChosen) {
        if (!ChooseConfigFile(locations, ui, dialogs)) return false;
        locations.configFileChosen = true;
    }
    if (locations.TraceLevel == 0 && locations.CommandLine.debug)
        locations.TraceLevel = -1;
    SmallScreenWarning(ui);
    return true;
}

bool ReadInstallationSettings(SystemLocations& locations, AudiowallState& audiowall,
                              UserInterface& ui, ConfigDialogs& dialogs, const Clock& clock,
                              const StartupCommand& command) {
    if (!PrepareStartupEnvironment(locations, ui, dialogs, command)) return false;
    LoadAudiowallSettings(audiowall, ui, clock, locations.ConfigFile, kVersion2RegistryKey);
    ReadDataLocation(locations);
    ReadDisplaySettings(locations);
    // The installation's settings files just read, each named once when it was not read.
    const std::string& part1 = audiowall.Parts[1].Directory;
    for (const std::string& file : {locations.ConfigFile, std::string("registry.ini"),
                                    Trim(part1).empty() ? std::string() : AudwallIniPath(part1)}) {
        WarnOfUnreadableSettingsFile(file);
    }
    return true;
}

void ReadDataLocation(SystemLocations& locations) {
    locations.DataLocation = ReadProfileText(locations.ConfigFile, "FileLocations", "Data", "");
}

void ReadDisplaySettings(SystemLocations& locations) {
    if (locations.ConfigFile.empty()) return;
    locations.SearchCartNotes =
        static_cast<int>(GetProfileInt(locations.ConfigFile, "AudioWall", "SearchCartNotes", 0));
    locations.SearchCartsFromStart = static_cast<int>(
        GetProfileInt(locations.ConfigFile, "AudioWall", "SearchCartsFromStart", 1));
}

bool LocateSystemIniFile(SystemLocations& locations) {
    if (locations.CommandLine.systemIniFile)
        locations.SystemIniFile = *locations.CommandLine.systemIniFile;
    else
        locations.SystemIniFile = locations.DataLocation + "\\VNTR_SYS.INI";
    return true;
}

void EnsureDataDirectories(const std::string& dataLocation, UserInterface& ui) {
    if (dataLocation.empty()) return;
    auto ensure = [&](const char* name) {
        std::string path = JoinPath(dataLocation, name);
        return DirectoryExists(path) || CreateDirectoryPath(ui, path, false);
    };
    // Without USERS nobody can log in; the other directories would only hide that.
    if (!ensure("USERS")) return;
    ensure("SCHEDULE");
    for (const char* name : {"Logs", "Commands", "Scripts"}) {
        if (!ensure(name))
            ProblemReport(ui,
                          std::string("while creating the ") + name + " directory in \n" +
                              JoinPath(dataLocation, name),
                          ErrorResult::Make(err::kPathFileAccessError));
    }
}

}  // namespace vantor
