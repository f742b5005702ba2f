#include "config/config_set_model.h"

#include "common/profile.h"
#include "common/registry.h"
#include "common/text.h"
#include "common/user_interface.h"
#include "config/drive_type.h"

namespace vantor {

namespace {

// The private-profile functions read into a buffer of 255 characters: 254 and the terminator.
std::string CutToProfileBuffer(std::string value) {
    if (value.size() > 254) value.resize(254);
    return value;
}

std::vector<std::string> BlankSeparatedNames(const std::string& names) {
    std::vector<std::string> result;
    size_t at = 0;
    while (at < names.size()) {
        while (at < names.size() && (names[at] == ' ' || names[at] == '\t')) ++at;
        size_t end = at;
        while (end < names.size() && names[end] != ' ' && names[end] != '\t') ++end;
        if (end == at) break;
        result.push_back(names.substr(at, end - at));
        at = end;
    }
    return result;
}

}  // namespace

ConfigSetModel::ConfigSetModel(UserInterface& ui) : isRemoteDrive(IsRemoteDrive), ui_(ui) {}

void ConfigSetModel::UpdateDisplay() {
    items_.clear();
    selected_ = -1;
    std::string names =
        ReadRegistryString(RegistryRoot::LocalMachine, HK_PRODUCT_KEY, "ConfigFiles", "");
    if (names.empty()) {
        if (!StandardConfigFile.empty()) {
            WriteRegistryString(RegistryRoot::LocalMachine, HK_PRODUCT_KEY, "ConfigFiles",
                                StandardConfigFile, "");
            WriteProfileString(StandardConfigFile, "General", "ConfigName",
                               "Standard Configuration");
        }
        names = StandardConfigFile;
    }
    for (const std::string& file : BlankSeparatedNames(names)) {
        // The list is keyed by file name: a name listed twice shows once.
        bool listed = false;
        for (const Item& item : items_) listed = listed || EqualsNoCase(item.key, file);
        if (listed) continue;

        std::string display =
            CutToProfileBuffer(GetProfileString(file, "General", "ConfigName", file));
        std::string data = CutToProfileBuffer(GetProfileString(file, "FileLocations", "Data", ""));
        const char* icon = kIconLocal;
        if (data.empty()) {
            icon = kIconLocal;
        } else if (data.rfind("\\\\", 0) == 0) {
            icon = kIconNetwork;
        } else if (isRemoteDrive && isRemoteDrive(data)) {
            icon = kIconNetworkDrive;
        }
        items_.push_back(Item{file, Trim(display), icon});
    }
}

void ConfigSetModel::ClickItem(int index) {
    if (index < 0 || index >= static_cast<int>(items_.size())) {
        selected_ = -1;
        return;
    }
    selected_ = index;
    toolTip_ = "Selected Configuration : " + items_[index].key;
}

void ConfigSetModel::OK() {
    if (selected_ < 0) return;
    ConfigFile = items_[selected_].key;
    closed_ = true;
    ui_.ProcessEvents();
}

void ConfigSetModel::Cancel() {
    ConfigFile.clear();
    closed_ = true;
}

}  // namespace vantor
