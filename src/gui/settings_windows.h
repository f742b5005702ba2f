#pragma once
// The settings and Audiowall windows of one run, as the Qt implementation of Dialogs shows
// them: the start-up dialogs (configuration set, file locations), the cart browser with its
// find dialog (which live for the whole run, hidden between uses), and the non-modal
// "Log Import Settings:" dialog, whose Browse buttons open that browser through Dialogs.
//
// The program's Dialogs implementation holds one SettingsWindows and forwards to it:
//   RunConfigSet(model)     -> RunConfigSet(model)
//   RunFileLocations(model) -> RunFileLocations(model)
//   BrowseCarts(tag)        -> BrowseCarts(tag)
// and the menu item "&Log Import Settings" calls ShowImportSettings().

#include <QObject>
#include <QPointer>
#include <memory>
#include <string>

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
    explicit SettingsWindows(Session& session, QWidget* owner = nullptr);
    ~SettingsWindows() override;

    // The window the dialogs are shown over, once there is one.
    void SetOwner(QWidget* owner) { owner_ = owner; }

    // Start-up and menu dialogs, modal; true when the operator confirmed.
    bool RunConfigSet(ConfigSetModel& model);
    bool RunFileLocations(FileLocationsModel& model);

    // The cart browser at the cart in tag; its tag once it hid itself: a number above 0 is the
    // chosen cart, anything else means cancelled.
    std::string BrowseCarts(const std::string& tag);

    // "&Log Import Settings": opens the dialog (not modal) on the stored settings; one dialog
    // serves the run, brought forward when it is already open.
    void ShowImportSettings();

    AudiowallWindows& audiowall() { return *audiowall_; }
    ImportSettingsDialog* importSettingsDialog();

  private:
    Session& session_;
    QWidget* owner_;
    std::unique_ptr<AudiowallWindows> audiowall_;
    std::unique_ptr<LogImportSettingsModel> importSettingsModel_;
    // The dialog belongs to its owner window as well: when the owner goes first it takes the
    // dialog with it, and the pointer clears itself instead of being deleted a second time.
    QPointer<ImportSettingsDialog> importSettings_;
};

}  // namespace vantor::gui
