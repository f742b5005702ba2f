#include "importer/import_settings.h"

#include <limits>

#include "common/numbers.h"
#include "common/profile.h"
#include "config/system_locations.h"

namespace vantor {

namespace {

constexpr const char* kGeneral = "General";
constexpr const char* kCartLocations = "CartLocations";
constexpr const char* kLogImport = "LogImport";
constexpr const char* kUsersMustLoginKey = "Music.UsersMustLogin";

int32_t ReadInt32(const std::string& file, const char* section, const char* key,
                  int32_t defaultValue) {
    long value = GetProfileInt(file, section, key, defaultValue);
    // A value that does not fit its 32-bit setting is as unreadable as a missing one.
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
        return defaultValue;
    return static_cast<int32_t>(value);
}

// One entry per stored value of HOLBRANE.INI, in the order the file is read and written.
struct StoredValue {
    const char* section;
    const char* key;
    int32_t ImportSettings::*general;
    int32_t CartRanges::*range;
};

constexpr StoredValue kStoredValues[] = {
    {kGeneral, "AutoPurgeDays", &ImportSettings::AutoPurgeDatabaseDays, nullptr},
    {kGeneral, "UnderrunningDuration", &ImportSettings::UnderrunningDuration, nullptr},
    {kCartLocations, "Jingles.Start", nullptr, &CartRanges::JinglesStart},
    {kCartLocations, "Jingles.End", nullptr, &CartRanges::JinglesEnd},
    {kCartLocations, "Sweepers.Start", nullptr, &CartRanges::SweepersStart},
    {kCartLocations, "Sweepers.End", nullptr, &CartRanges::SweepersEnd},
    {kCartLocations, "CartGroups.Start", nullptr, &CartRanges::CartGroupsStart},
    {kCartLocations, "CartGroups.End", nullptr, &CartRanges::CartGroupsEnd},
    {kCartLocations, "Adverts.Start", nullptr, &CartRanges::AdvertsStart},
    {kCartLocations, "Adverts.End", nullptr, &CartRanges::AdvertsEnd},
    {kCartLocations, "Songs.Start", nullptr, &CartRanges::SongsStart},
    {kCartLocations, "Songs.End", nullptr, &CartRanges::SongsEnd},
};

int32_t& Field(ImportSettings& settings, const StoredValue& stored) {
    return stored.general ? settings.*stored.general : settings.Ranges.*stored.range;
}

int32_t Field(const ImportSettings& settings, const StoredValue& stored) {
    return stored.general ? settings.*stored.general : settings.Ranges.*stored.range;
}

}  // namespace

std::string ImportSettingsFile(const SystemLocations& locations) {
    // Without a data location there is no such file: never fall back to the file system root.
    if (locations.DataLocation.empty()) return "";
    return locations.DataLocation + "\\HOLBRANE.INI";
}

void LoadSettings(ImportSettings& settings, const SystemLocations& locations) {
    const std::string file = ImportSettingsFile(locations);
    const ImportSettings defaults;
    for (const StoredValue& stored : kStoredValues)
        Field(settings, stored) =
            file.empty() ? Field(defaults, stored)
                         : ReadInt32(file, stored.section, stored.key, Field(defaults, stored));

    long login = locations.SystemIniFile.empty()
                     ? defaults.UsersMustLogin
                     : GetProfileInt(locations.SystemIniFile, kLogImport, kUsersMustLoginKey,
                                     defaults.UsersMustLogin);
    settings.UsersMustLogin = (login >= std::numeric_limits<int16_t>::min() &&
                               login <= std::numeric_limits<int16_t>::max())
                                  ? static_cast<int16_t>(login)
                                  : defaults.UsersMustLogin;
}

bool SaveSettings(const ImportSettings& settings, const SystemLocations& locations) {
    const std::string file = ImportSettingsFile(locations);
    bool written = !file.empty();
    if (written)
        for (const StoredValue& stored : kStoredValues)
            written &= WriteProfileString(file, stored.section, stored.key,
                                          IntText(Field(settings, stored)));
    if (locations.SystemIniFile.empty())
        written = false;
    else
        written &= WriteProfileString(locations.SystemIniFile, kLogImport, kUsersMustLoginKey,
                                      IntText(settings.UsersMustLogin));
    return written;
}

}  // namespace vantor
