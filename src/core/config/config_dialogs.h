#pragma once
// The windows of the configuration subsystem that other code opens: how the program shows them
// (a Qt window, a refusal without a display, a script in the tests) is decided above the
// subsystems, by whoever implements Dialogs (session/dialogs.h).

namespace vantor {

class ConfigSetModel;
class FileLocationsModel;
class UserInterface;
struct AudiowallState;
struct SystemLocations;

class ConfigDialogs {
  public:
    virtual ~ConfigDialogs() = default;

    // Shows the prepared, loaded model modally. False when the dialog could not be shown (no
    // person at a display) or was cancelled; the model holds the outcome.
    virtual bool RunConfigSet(ConfigSetModel& model) = 0;
    virtual bool RunFileLocations(FileLocationsModel& model) = 0;

    // "Vantor File Locations" on the locations in memory: OK stores them. False when the
    // dialog could not be shown.
    bool EditFileLocations(SystemLocations& locations, AudiowallState& audiowall,
                           UserInterface& ui);
};

}  // namespace vantor
