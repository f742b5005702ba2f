#include "settings_windows.h"

#include "audiowall_windows.h"
#include "config_set_dialog.h"
#include "file_locations_dialog.h"
#include "import_settings_dialog.h"
#include "importer/import_settings_dialog_model.h"
#include "session/session.h"

namespace vantor::gui {

SettingsWindows::SettingsWindows(Session& session, QWidget* owner)
    : session_(session),
      owner_(owner),
      audiowall_(
          std::make_unique<AudiowallWindows>(session.audiowall, session.ui, session.locations)) {}

SettingsWindows::~SettingsWindows() {
    // The settings dialog may be waiting on the browser; it goes first, unless its owner
    // window has already taken it.
    delete importSettings_.data();
    importSettingsModel_.reset();
}

bool SettingsWindows::RunConfigSet(ConfigSetModel& model) {
    return RunConfigSetDialog(model, owner_);
}

bool SettingsWindows::RunFileLocations(FileLocationsModel& model) {
    return RunFileLocationsDialog(model, owner_);
}

std::string SettingsWindows::BrowseCarts(const std::string& tag) {
    return audiowall_->BrowseCart(tag);
}

ImportSettingsDialog* SettingsWindows::importSettingsDialog() {
    return importSettings_;
}

void SettingsWindows::ShowImportSettings() {
    if (!importSettings_) {
        importSettingsModel_ = std::make_unique<LogImportSettingsModel>(
            session_.importSettings, session_.locations, session_.ui, session_.dialogs);
        importSettings_ = new ImportSettingsDialog(*importSettingsModel_, owner_);
    }
    importSettings_->Open();
}

}  // namespace vantor::gui
