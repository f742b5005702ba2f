#include "config/file_locations_model.h"

#include "audiowall/audiowall_settings.h"
#include "audiowall/audiowall_store.h"
#include "common/files.h"
#include "common/paths.h"
#include "common/profile.h"
#include "common/text.h"
#include "common/user_interface.h"
#include "config/startup.h"
#include "config/system_locations.h"

namespace vantor {

namespace {

constexpr const char* kSection = "FileLocations";

}  // namespace

std::string LocationOnDisk(const std::string& text) {
    std::string location = Trim(text);
    // This file system tells letter case apart: the part of the location that exists is spelt
    // as it is on disk, the rest (a directory still to be made) as typed. A drive letter or a
    // "\\server\share" means nothing here and is kept as typed.
    if (!location.empty() && location[0] == '/') location = ResolvePath(location);
    return location;
}

std::string NormaliseLocation(const std::string& text) {
    std::string location = LocationOnDisk(text);
    // "D:\" becomes "D:"; the root of this file system stays what it is.
    if (!location.empty() && (location.back() == '\\' || location.back() == '/') && location != "/")
        location.pop_back();
    return location;
}

FileLocationsModel::FileLocationsModel(SystemLocations& locations, AudiowallState& audiowall,
                                       UserInterface& ui)
    : IniFile(locations.ConfigFile), locations_(locations), audiowall_(audiowall), ui_(ui) {}

std::string FileLocationsModel::RowLabel(int row) {
    if (row == kRows) return "Carts 10001 to...";
    return "Carts " + std::to_string((row - 1) * 1000 + 1) + " to " + std::to_string(row * 1000) +
           ":";
}

void FileLocationsModel::Open() {
    IniFile = locations_.ConfigFile;
    // Locations written by the installation's other programs may be in capitals; each is shown
    // as it exists on disk.
    dataLocation_ = LocationOnDisk(locations_.DataLocation);
    for (int row = 1; row <= kRows; ++row)
        rows_[row - 1] = LocationOnDisk(audiowall_.Parts[row].Directory);
    bool allEqual = true;
    for (int row = 2; row <= kRows; ++row)
        allEqual = allEqual && EqualsNoCase(Trim(rows_[row - 1]), Trim(rows_[0]));
    useOne_ = false;
    SetUseOneCartLocation(allEqual);
    closed_ = false;
}

void FileLocationsModel::Activate() {
    ui_.SetCursor(MouseCursor::Default);
}

void FileLocationsModel::SetUseOneCartLocation(bool checked) {
    useOne_ = checked;
    if (useOne_)
        for (int row = 2; row <= kRows; ++row) rows_[row - 1] = rows_[0];
}

void FileLocationsModel::SetCartLocation(int row, const std::string& text) {
    if (row < 1 || row > kRows) return;
    if (!RowEnabled(row)) return;
    rows_[row - 1] = text;
    if (useOne_)
        for (int other = 2; other <= kRows; ++other) rows_[other - 1] = rows_[0];
}

void FileLocationsModel::BrowseCartLocation(int row) {
    if (row < 1 || row > kRows || !RowEnabled(row)) return;
    auto chosen = ui_.BrowseForFolder(kBrowseTitle, rows_[row - 1]);
    if (chosen && !chosen->empty()) SetCartLocation(row, Trim(*chosen));
}

void FileLocationsModel::BrowseDataLocation() {
    auto chosen = ui_.BrowseForFolder(kBrowseTitle, dataLocation_);
    if (chosen && !chosen->empty()) dataLocation_ = Trim(*chosen);
}

void FileLocationsModel::OK() {
    HourglassGuard hourglass(ui_);
    const std::string dataLocation = NormaliseLocation(dataLocation_);

    // From here on nothing is validated and a step that fails does not stop the next one:
    // the operator may fill in the rest of the installation later.
    for (int n = 1; n <= kRows; ++n) {
        AudiowallPart& part = audiowall_.Parts[n];
        part.Directory = NormaliseLocation(rows_[n - 1]);
        part.State = PartState::NotConnected;
    }
    auto markSharing = [this](const std::string& directory, PartState state) {
        for (AudiowallPart& other : audiowall_.Parts)
            if (EqualsNoCase(other.Directory, directory)) other.State = state;
    };
    for (int n = 1; n <= kRows; ++n) {
        AudiowallPart& part = audiowall_.Parts[n];
        if (part.State == PartState::NotConnected) {
            // A directory shared by several parts is checked, and created, once.
            if (part.Directory.empty()) {
                part.State = PartState::Unavailable;
            } else if (DirectoryExists(part.Directory)) {
                markSharing(part.Directory, PartState::Connected);
            } else {
                bool created = CreateDirectoryPath(ui_, part.Directory, false);
                markSharing(part.Directory,
                            created ? PartState::Connected : PartState::Unavailable);
            }
        }
        if (!IniFile.empty())
            WriteProfileString(IniFile, kSection, "Carts" + std::to_string(n), part.Directory);
    }

    locations_.DataLocation = dataLocation;
    if (!IniFile.empty()) WriteProfileString(IniFile, kSection, "Data", dataLocation);
    EnsureDataDirectories(dataLocation, ui_);
    // The sub-locations are written for the installation's other programs once the
    // directories are made, spelt as they are on disk and joined with this system's separator.
    auto subLocation = [&dataLocation](const char* name) {
        return dataLocation.empty() ? "/" + std::string(name)
                                    : ResolvePath(JoinPath(dataLocation, name));
    };
    if (!IniFile.empty()) {
        WriteProfileString(IniFile, kSection, "Schedules", subLocation("SCHEDULE"));
        WriteProfileString(IniFile, kSection, "Logs", subLocation("LOGS"));
    }

    ReadMaxCart(audiowall_);
    closed_ = true;
}

}  // namespace vantor
