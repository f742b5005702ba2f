#include "audiowall/audiowall_settings.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "common/clock.h"
#include "common/files.h"
#include "common/ole_date.h"
#include "common/numbers.h"
#include "common/paths.h"
#include "common/profile.h"
#include "common/registry.h"
#include "common/text.h"
#include "common/user_interface.h"

namespace fs = std::filesystem;

namespace vantor {
namespace {

constexpr const char* kStoreVersion = "2.6";

// Colours are 32-bit values whose top bit names a system colour; a settings file may hold them
// as signed or unsigned decimals, which come to the same bits.
int32_t AsColor(long value) {
    return static_cast<int32_t>(static_cast<uint32_t>(value));
}

void ReadFromConfigFile(AudiowallState& state, const std::string& file) {
    for (int n = 1; n <= kAudiowallPartCount; ++n)
        state.Parts[n].Directory =
            GetProfileString(file, "FileLocations", "Carts" + std::to_string(n), "");
    state.UseIndividualCartListFiles =
        static_cast<int16_t>(GetProfileInt(file, "Audio", "UseIndividualCartListFiles", 0));
    state.EmptyCartBackColor =
        AsColor(GetProfileInt(file, "Audio", "EmptyCartBackColor", kDefaultEmptyCartBackColor));
    state.EmptyCartForeColor =
        AsColor(GetProfileInt(file, "Audio", "EmptyCartForeColor", kDefaultEmptyCartForeColor));
    // Older installations keep the fade point as a fraction ("FadeFire"); the percentage key
    // wins when both are there.
    double fadeFire = LeadingNumber(GetProfileString(file, "Audio", "FadeFire", "0.65"));
    long fallback = ToInt32(fadeFire * 100).value_or(65);
    state.PlayerFadeFirePercent =
        static_cast<int32_t>(GetProfileInt(file, "Audio", "PlayerFadeFirePercent", fallback));
}

void ReadFromRegistry(AudiowallState& state, const std::string& key) {
    const RegistryRoot hklm = RegistryRoot::LocalMachine;
    for (int n = 1; n <= kAudiowallPartCount; ++n)
        state.Parts[n].Directory = ReadRegistryString(hklm, key + "\\File Locations",
                                                      "CartLocation" + std::to_string(n), "");
    state.UseIndividualCartListFiles = static_cast<int16_t>(
        ReadRegistryNumber(hklm, key + "\\Audiowall\\Settings", "UseIndividualCartListFiles", 0));
    state.EmptyCartBackColor = ReadRegistryNumber(hklm, key + "\\Audiowall", "EmptyCartBackColor",
                                                  kDefaultEmptyCartBackColor);
    state.EmptyCartForeColor = ReadRegistryNumber(hklm, key + "\\Audiowall", "EmptyCartForeColor",
                                                  kDefaultEmptyCartForeColor);
    state.PlayerFadeFirePercent =
        ReadRegistryNumber(hklm, key + "\\Cart Players", "PlayerFadeFirePercent", 65);
}

std::string DateDirectoryName(const Clock& clock) {
    DateParts d = SplitDate(clock.Now());
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", d.year, d.month, d.day);
    return text;
}

}  // namespace

std::string AudwallIniPath(const std::string& part1Directory) {
    return JoinPath(part1Directory, "Audwall.ini");
}

void ReadMaxCart(AudiowallState& state) {
    const std::string& part1 = state.Parts[1].Directory;
    // Without a part-1 directory there is no store settings file to read (a bare name would
    // be taken from the Windows directory, which holds someone else's file).
    long noCarts = Trim(part1).empty() ? kDefaultMaxCart
                                       : GetProfileInt(AudwallIniPath(part1), "Audiowall",
                                                       "NoCarts", kDefaultMaxCart);
    state.MaxCart = static_cast<int32_t>(noCarts);
}

void LoadAudiowallSettings(AudiowallState& state, UserInterface& ui, const Clock& clock,
                           const std::string& configFile, const std::string& registryPath) {
    ResetAudiowallDefaults(state);
    CheckFileCacheTuning(ui, registryPath, false);
    if (!configFile.empty())
        ReadFromConfigFile(state, configFile);
    else
        ReadFromRegistry(state, registryPath);
    ReadMaxCart(state);
    // The empty cart carries the colours just read.
    ResetAudiowallDefaults(state);

    const std::string& part1 = state.Parts[1].Directory;
    if (Trim(part1).empty()) return;
    std::string audwall = AudwallIniPath(part1);
    // Compared in single precision, as the store's writers do, so that "2.6" itself counts as
    // current.
    float version =
        static_cast<float>(LeadingNumber(GetProfileString(audwall, "Audiowall", "Version", "0.0")));
    if (version < 2.6f) {
        BackupCartLists(state, ui, clock, false);
        WriteProfileString(audwall, "Audiowall", "Version", kStoreVersion);
    }
}

bool BackupCartLists(AudiowallState& state, UserInterface& ui, const Clock& clock, bool force) {
    const std::string today = DateDirectoryName(clock);
    for (int n = 1; n <= kAudiowallPartCount; ++n) {
        const std::string& directory = state.Parts[n].Directory;
        if (directory.empty()) continue;
        const std::string listName = "Carts" + std::to_string(n) + ".LST";
        std::string list = JoinPath(directory, listName);
        // A list that cannot even be examined (as opposed to one that is simply missing)
        // ends the whole backup.
        std::error_code ec;
        fs::file_status status = fs::status(ResolvePath(list), ec);
        if (ec && ec != std::errc::no_such_file_or_directory) return false;
        if (!fs::is_regular_file(status)) continue;

        std::string backups = JoinPath(directory, "Backups");
        std::string dated = JoinPath(backups, today);
        for (const std::string& folder : {backups, dated})
            if (!DirectoryExists(folder) && !CreateDirectoryPath(ui, folder, true)) return false;
        if (FileExists(JoinPath(backups, listName)) && !force) continue;

        // Start-up is the only time lists are backed up: the splash line says what is going on.
        ui.SetStartupStatus("Backing up Audio Wall lists - Part " + std::to_string(n));
        if (!CopyOrMoveFiles(ui, list, dated, false, false)) return false;
    }
    return true;
}

void CheckFileCacheTuning(UserInterface& ui, const std::string& registryPath, bool verbose) {
    if (registryPath.empty()) return;
    if (verbose)
        ShowInformation(ui,
                        "Your Windows(TM) Operating System does not need to be optimised, as it "
                        "is natively optimized for Audio playback");
}

}  // namespace vantor
