#pragma once
// The model of the configuration-set dialog ("Which configuration set do you want to use?",
// frmMultiConfig). An installation with several configuration sets lists them in the registry
// value "ConfigFiles"; the operator picks the one this run uses.

#include <functional>
#include <string>
#include <vector>

#include "common/window_model.h"

namespace vantor {

class UserInterface;

class ConfigSetModel : public WindowModel {
  public:
    static constexpr const char* kCaption = "Which configuration set do you want to use?";

    // Icons of the list, keys of the image list imgListIcons.
    static constexpr const char* kIconLocal = "localdrive";
    static constexpr const char* kIconNetwork = "network";
    static constexpr const char* kIconNetworkDrive = "networkdrive";

    struct Item {
        std::string key;   // the file name as it stands in "ConfigFiles"
        std::string text;  // the set's display name, trimmed
        std::string icon;
    };

    explicit ConfigSetModel(UserInterface& ui);

    // Set by the caller before Load.
    std::string HK_PRODUCT_KEY;      // registry key path below HKEY_LOCAL_MACHINE
    std::string StandardConfigFile;  // the file of the standard set
    bool optionsMenuVisible = true;  // mnuOptions; this program always hides it

    // The outcome: the chosen file, or empty when the choice was cancelled.
    std::string ConfigFile;

    // Loading the window fills the list.
    void Load() { UpdateDisplay(); }
    // Refills the list of sets from the registry.
    void UpdateDisplay();

    const std::vector<Item>& Items() const { return items_; }
    int SelectedIndex() const { return selected_; }
    const std::string& ToolTip() const { return toolTip_; }
    bool IsClosed() const { return closed_; }

    // Clicking an item selects it (index -1 clears the selection).
    void ClickItem(int index);
    // Double-clicking the list does what OK does.
    void DoubleClickList() { OK(); }
    // Takes the selected set and closes; nothing happens without a selection.
    void OK();
    void Cancel();
    // Closing from the title bar or system menu is a cancel; closing from the program is not.
    void CloseFromWindowMenu() { Cancel(); }

    // The drive-type query, replaceable so that the icon choice can be observed.
    std::function<bool(const std::string&)> isRemoteDrive;

  private:
    UserInterface& ui_;
    std::vector<Item> items_;
    int selected_ = -1;
    std::string toolTip_;
    bool closed_ = false;
};

}  // namespace vantor
