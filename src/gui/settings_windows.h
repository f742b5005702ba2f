#pragma once
// The settings and Audiowall windows of one run, for whoever shows the program's windows: the
// start-up dialogs (configuration set, file locations), the non-modal "Log Import Settings:"
// dialog with its cart browser, and the browser and find dialog themselves, which live for the
// whole run.

#include <QObject>
#include <memory>

class QWidget;

namespace vantor {
class ConfigSetModel;
class FileLocationsModel;
class LogImportSettingsModel;
class Session;
}  // namespace vantor

namespace vantor::gui {

class AudiowallWindows;
class ImportSettingsDialog;

class SettingsWindows : public QObject {
    Q_OBJECT
  public:
    // owner: the window the modal dialogs are shown over (the main window; none at start-up).
    SettingsWindows(Session& session, QWidget* owner = nullptr);
    ~SettingsWindows() override;

    // Start-up and menu dialogs, modal; true when the operator confirmed.
    bool RunConfigSetDialog(ConfigSetModel& model);
    bool RunFileLocationsDialog(FileLocationsModel& model);

    // "&Log Import Settings": opens the dialog (not modal) on the stored settings; one dialog
    // serves the run, brought forward when it is already open.
    void ShowImportSettings();

    AudiowallWindows& audiowall() { return *audiowall_; }
    ImportSettingsDialog* importSettingsDialog() { return importSettings_.get(); }

  private:
    Session& session_;
    QWidget* owner_;
    std::unique_ptr<AudiowallWindows> audiowall_;
    std::unique_ptr<LogImportSettingsModel> importSettingsModel_;
    std::unique_ptr<ImportSettingsDialog> importSettings_;
};

}  // namespace vantor::gui
